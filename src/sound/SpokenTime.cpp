#include "sound/SpokenTime.h"

#include "core/ClockText.h"
#include "platform/Sound.h"

#include <array>
#include <memory>

namespace morvantis {

namespace {

constexpr std::string_view kTime = "\\wave\\time.WAV";
constexpr std::string_view kAm = "\\wave\\AM.WAV";
constexpr std::string_view kPm = "\\wave\\pm.WAV";

// The number files: 1 to 20, then 30, 40 and 50.
constexpr std::array<std::string_view, 21> kNumbers = {
    "",
    "\\wave\\1.WAV",
    "\\wave\\2.WAV",
    "\\wave\\3.WAV",
    "\\wave\\4.WAV",
    "\\wave\\5.WAV",
    "\\wave\\6.WAV",
    "\\wave\\7.WAV",
    "\\wave\\8.WAV",
    "\\wave\\9.WAV",
    "\\wave\\10.WAV",
    "\\wave\\11.WAV",
    "\\wave\\12.WAV",
    "\\wave\\13.WAV",
    "\\wave\\14.WAV",
    "\\wave\\15.WAV",
    "\\wave\\16.WAV",
    "\\wave\\17.WAV",
    "\\wave\\18.WAV",
    "\\wave\\19.WAV",
    "\\wave\\20.WAV",
};
constexpr std::array<std::string_view, 6> kTens = {
    "", "", "\\wave\\20.WAV", "\\wave\\30.WAV", "\\wave\\40.WAV", "\\wave\\50.WAV"};

} // namespace

std::string_view hourWord(const LocalTime& t) {
    const ClockText text = formatTime(t, TimeForm::HourAmPm);
    const int hour = leadingNumber(text.view().substr(0, 2));
    return hour >= 1 && hour <= 12 ? kNumbers[static_cast<std::size_t>(hour)] : std::string_view();
}

std::vector<std::string_view> minuteWords(const LocalTime& t) {
    const int m = leadingNumber(formatTime(t, TimeForm::Minute).view());
    if (m < 1 || m > 59)
        return {};
    if (m <= 20)
        return {kNumbers[static_cast<std::size_t>(m)]};
    const auto tens = static_cast<std::size_t>(m / 10);
    const auto units = static_cast<std::size_t>(m % 10);
    if (units == 0)
        return {kTens[tens]};
    return {kTens[tens], kNumbers[units]};
}

std::string_view suffixWord(const LocalTime& t) {
    const ClockText text = formatTime(t, TimeForm::AmPm);
    if (text.view() == "AM")
        return kAm;
    if (text.view() == "PM")
        return kPm;
    return {};
}

namespace {

// The words still to come. Kept alive by the player's promise to tell the end of the word that
// sounds: dropped, with it, when the words are cut short.
struct Speech : std::enable_shared_from_this<Speech> {
    enum class Step { Hour, Minute, Suffix, Over };

    const Clock& clock;
    Sound& sound;
    std::string folder;
    std::function<void()> done;
    Step step = Step::Hour;
    std::vector<std::string_view> words{kTime};

    Speech(const Clock& c, Sound& s, std::string f, std::function<void()> d)
        : clock(c), sound(s), folder(std::move(f)), done(std::move(d)) {}

    // The next word, read from the clock when its turn comes; done after the last.
    void next() {
        while (words.empty()) {
            switch (step) {
            case Step::Hour:
                if (const std::string_view hour = hourWord(clock.now()); !hour.empty())
                    words.push_back(hour);
                step = Step::Minute;
                break;
            case Step::Minute:
                words = minuteWords(clock.now());
                step = Step::Suffix;
                break;
            case Step::Suffix:
                if (const std::string_view suffix = suffixWord(clock.now()); !suffix.empty())
                    words.push_back(suffix);
                step = Step::Over;
                break;
            case Step::Over:
                if (done)
                    done();
                return;
            }
        }
        const std::string path = folder + std::string(words.front());
        words.erase(words.begin());
        sound.playThen(path, [self = shared_from_this()] { self->next(); });
    }
};

} // namespace

void sayTime(const Clock& clock, Sound& sound, const std::string& programFolder, std::function<void()> done) {
    std::make_shared<Speech>(clock, sound, programFolder, std::move(done))->next();
}

} // namespace morvantis
