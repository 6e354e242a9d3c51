#include "SkinArt.h"

void drawWindowArt(const QString &, const QString &) {}
