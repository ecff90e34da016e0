// Profile (INI) files as they arrive from anywhere: read every configuration key from them,
// write a key into them, and check that what is written reads back.
//
//  - Writing a key leaves every other key's value as it was and the key reads back as written.
//  - The written text parses to the same text again.
//  - Settings read from the file, written and read again are stable from the second read on.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "core/app/Profile.h"
#include "core/app/Settings.h"

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

// Keys the program reads, in the sections it reads them from.
const std::pair<const char*, const char*> kProbes[] = {
    {"Misc", "Button Bar"}, {"Misc", "Last Database"}, {"Field Names", "Title"},
    {"Label", "Face Gap"},  {"Reports", "Label Item 00"}, {"Grid Font", "Font Name"},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace rv::app;
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    // Writing one key: the first probe gets a value taken from the input's tail.
    ProfileFile profile = ProfileFile::fromText(input);
    std::optional<std::string> before[std::size(kProbes)];
    for (std::size_t i = 0; i < std::size(kProbes); ++i) before[i] = profile.value(kProbes[i].first, kProbes[i].second);
    const std::size_t target = size % std::size(kProbes);
    std::string value(input.substr(size - std::min<std::size_t>(size, 40)));
    profile.writeText(kProbes[target].first, kProbes[target].second, value);
    for (char& c : value)
        if (c == '\r' || c == '\n') c = ' ';

    const std::string written = profile.text();
    const ProfileFile reread = ProfileFile::fromText(written);
    check(reread.text() == written);
    for (std::size_t i = 0; i < std::size(kProbes); ++i) {
        auto now = reread.value(kProbes[i].first, kProbes[i].second);
        check(i == target ? now == value : now == before[i]);
    }

    // The whole settings record: read from the input, written to a new profile, read again.
    auto roundTrip = [](const ProfileFile& from, Settings& settings) {
        readProgramKeys(settings, from, "/start");
        readDatabaseKeys(settings, from);
        ProfileFile to;
        writeProgramKeys(settings, to);
        writeDatabaseKeys(settings, to);
        return ProfileFile::fromText(to.text());
    };
    Settings first, second, third;
    const ProfileFile once = roundTrip(ProfileFile::fromText(input), first);
    const ProfileFile twice = roundTrip(once, second);
    roundTrip(twice, third);
    check(second == third);
    check(once.text() == twice.text());
    return 0;
}
