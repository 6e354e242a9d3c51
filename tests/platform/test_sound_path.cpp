// Which file a stored sound path names: the path as it stands when that is a file, else its
// "\" taken for separators and its names matched without regard to case.
#include "platform/LazySound.h"
#include "platform/QtFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace morvantis;

#ifndef _WIN32
TEST(SoundPath, ThePathAsItStandsComesFirst) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    std::filesystem::create_directories(root + "/Tones");
    std::filesystem::create_directories(root + "/back");
    for (const char* name : {"back\\slash.wav", "back/slash.wav", "Tones/Chime.WAV", "Tones\\chime.wav"})
        std::ofstream(root + "/" + name) << "RIFF";
    const QtFiles files(root);
    const struct {
        std::string stored;
        std::string played;
    } cases[] = {
        // Both files exist: the one the name spells.
        {root + "/back\\slash.wav", root + "/back\\slash.wav"},
        {root + "/back/slash.wav", root + "/back/slash.wav"},
        {root + "\\back\\slash.wav", root + "/back/slash.wav"},
        {root + "/Tones\\chime.wav", root + "/Tones\\chime.wav"},
        // No file by that name: separators mapped, case matched.
        {root + "\\tones\\CHIME.wav", root + "/Tones/Chime.WAV"},
        {root + "/TONES/chime.wav", root + "/Tones/Chime.WAV"},
        // Nothing matches: passed on mapped, for the player's alert.
        {root + "\\none\\here.wav", root + "/none/here.wav"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(mapSoundPath(files, c.stored), c.played) << c.stored;
}
#else
// Windows itself takes "\" for a separator and names without regard to case: every path that names
// a file is played as written, and one that names none is passed on for the player's alert.
TEST(SoundPath, WindowsFindsTheFileAsWritten) {
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString();
    std::filesystem::create_directories(root + "/Tones");
    std::ofstream(root + "/Tones/Chime.WAV") << "RIFF";
    const QtFiles files(root);
    for (const std::string& stored :
         {root + "\\tones\\CHIME.wav", root + "/TONES/chime.wav", root + "/Tones/Chime.WAV"})
        EXPECT_EQ(mapSoundPath(files, stored), stored);
    EXPECT_EQ(mapSoundPath(files, root + "\\none\\here.wav"), root + "/none/here.wav");
    EXPECT_EQ(mapSoundPath(files, ""), "");
}
#endif
