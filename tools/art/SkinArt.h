#pragma once

#include "Segments.h"

#include <QColor>
#include <QString>
#include <vector>

// Everything that makes one skin look different from another.
struct SkinStyle {
    QString folder;      // the skin's name as the chooser lists it
    QString description; // one sentence, shown by the chooser
    QColor caption;      // alarm caption text on the panel

    // Case
    QColor bodyTop, bodyBottom, rim;
    int sheen = 30; // strength of the light catching the top of the case
    double radius = 22;
    QColor recess; // frame around the panel
    QColor well;   // recess every button and the light sit in
    QColor labelInk, brandInk, accent;
    enum class Grille { Holes, Slots } grille = Grille::Holes;
    bool screws = true;

    // Panel
    QColor panelTop, panelBottom;
    QColor backlight;     // brighter middle of a lit panel; transparent for a reflective one
    int innerShadow = 90; // how deep the glass sits under the case

    // Segments
    QColor segOn;
    QColor segOff; // unlit segments printed faintly on the panel; transparent for none
    QColor glow;   // halo around lit segments; transparent for none
    SegmentStyle big, small, letter;
    double colonDot = 5;

    // Alarm light
    QColor ledOn, ledOff, ledRing;

    // Buttons
    QColor buttonTop, buttonBottom, buttonEdge, buttonIcon;
    QColor alarmTop, alarmBottom, alarmIcon; // the alarm button's own colours; left unset for the common ones
};

std::vector<SkinStyle> allSkins();

// Writes the 40 pictures as PNG sources into gifSourceDir (they become GIFs
// later) and info.txt into skinDir.
void drawSkin(const SkinStyle& style, const QString& gifSourceDir, const QString& skinDir);

// Builds the face as the clock would show it at a fixed moment, from a
// finished skin folder, and writes it as a PNG. Returns false with a reason.
bool drawPreview(const QString& skinDir, const QString& outFile, QString* error);

// Program icon, about pictures, importance signs, splash, OK icon, hand cursor.
void drawWindowArt(const QString& gifSourceDir, const QString& imgDir);
