// reelvane-gen: writes N realistic video records as an import file (every value in double
// quotes, comma-separated, CR LF line ends, a first line of field titles, Windows-1252 text).
// The same N and seed always give the same file, so benchmarks compare like with like.
//
//   reelvane-gen [N] [--seed S] [-o FILE]      (N defaults to 100000)

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "core/db/FieldCatalog.h"

namespace {

// splitmix64: small, fast and identical on every platform and library.
struct Rng {
    uint64_t s;
    uint64_t next() {
        uint64_t z = (s += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int between(int lo, int hi) { return lo + int(next() % uint64_t(hi - lo + 1)); }
    bool chance(int percent) { return between(1, 100) <= percent; }
    template <class T, size_t N> const char* pick(const T (&list)[N]) { return list[next() % N]; }
};

const char* kAdjectives[] = {"Dark", "Silent", "Last", "Golden", "Broken", "Hidden", "Wild", "Lost", "Crimson",
                             "Endless", "Frozen", "Secret", "Midnight", "Electric", "Distant", "Little", "Great",
                             "Strange", "Burning", "Forgotten", "Lonely", "Savage", "Sweet", "Blue", "Eternal"};
const char* kNouns[] = {"River", "City", "Night", "Summer", "Road", "Heart", "Kingdom", "Shadow", "Garden",
                        "Harbor", "Mountain", "Storm", "Station", "Letter", "Island", "Promise", "Empire",
                        "Valley", "Journey", "Witness", "Dream", "Frontier", "Mirror", "Horizon", "Affair"};
const char* kTitleForms[] = {"The %a %n", "%a %n", "Return to %n", "A %n in %p", "The %n of %p", "%n Falls",
                             "Beyond the %n", "%a Hearts", "Escape from %p", "The %a %n II"};
const char* kPlaces[] = {"Paris", "Casablanca", "Brooklyn", "Montr\xE9" "al", "Z\xFC" "rich", "Tokyo", "Rome",
                         "Chicago", "Cairo", "Vienna", "S\xE3o Paulo", "Dublin", "Monterey", "Malm\xF6", "Bombay"};
const char* kFirst[] = {"James", "Mary", "John", "Grace", "Robert", "Audrey", "Michael", "Katharine", "William",
                        "Ingrid", "Henry", "Bette", "Gary", "Marilyn", "Cary", "Sophia", "Paul", "Ren\xE9" "e",
                        "Fran\xE7ois", "Jos\xE9", "Greta", "Spencer", "Lauren", "Clark", "Vivien", "Orson",
                        "Judy", "Marlon", "Rita", "Humphrey"};
const char* kLast[] = {"Stewart", "Hepburn", "Grant", "Kelly", "Bergman", "Davis", "Cooper", "Monroe", "Peck",
                       "Loren", "Newman", "Garbo", "Tracy", "Bacall", "Gable", "Leigh", "Welles", "Garland",
                       "Brando", "Hayworth", "Bogart", "Truffaut", "Ferrer", "Holden", "Lancaster", "Fonda",
                       "Mitchum", "Novak", "Wilder", "Hitchcock", "Kurosawa", "Fellini"};
const char* kStudios[] = {"Paramount", "MGM", "Warner Bros.", "Columbia", "Universal", "20th Century Fox",
                          "United Artists", "RKO", "Disney", "Orion", "Miramax", "Criterion"};
const char* kRatings[] = {"G", "PG", "PG-13", "R", "NC-17", "NR"};
const char* kCategories[] = {"Drama", "Comedy", "Western", "Science Fiction", "Horror", "Musical", "Documentary",
                             "Mystery", "Action", "Romance", "Animation", "War", "Film Noir", "Family"};
const char* kPictures[] = {"Color", "B&W", "Colorized"};
const char* kSounds[] = {"Mono", "Stereo", "Hi-Fi", "Dolby", "Surround"};
const char* kFormats[] = {"VHS", "S-VHS", "Beta", "Laser Disc", "8mm", "DVD"};
const char* kPersonal[] = {"Excellent", "Very Good", "Good", "Fair", "Poor"};
const char* kSpeeds[] = {"SP", "LP", "EP", "SLP"};
const char* kContent[] = {"Movie", "TV Show", "Concert", "Sports", "Home Video", "Special"};
const char* kMisc[] = {"Widescreen", "Letterboxed", "Closed Captioned", "Director's Cut", "Subtitled",
                       "Collector's Edition"};
const char* kLaser[] = {"CLV", "CAV", "CLV/CAV", "Extended Play"};
const char* kOscars[] = {"Best Picture", "Best Actor", "Best Actress", "Best Director", "Best Screenplay",
                         "Best Cinematography", "Best Score", "Best Editing"};
const char* kShops[] = {"Video Barn", "Tower Video", "Blockbuster", "Mail Order", "Flea Market", "Gift",
                        "Sam Goody", "Record Town"};
const char* kWords[] = {"classic", "love", "revenge", "detective", "space", "music", "family", "heist",
                        "war", "friendship", "comedy", "courtroom", "chase", "small town", "monster"};

std::string person(Rng& r) { return std::string(r.pick(kFirst)) + " " + r.pick(kLast); }

std::string title(Rng& r) {
    std::string out;
    for (const char* p = r.pick(kTitleForms); *p; ++p) {
        if (*p == '%' && p[1]) {
            ++p;
            out += *p == 'a' ? r.pick(kAdjectives) : *p == 'n' ? r.pick(kNouns) : r.pick(kPlaces);
        } else {
            out += *p;
        }
    }
    return out;
}

std::string date(Rng& r, int fromYear, int toYear) {
    return std::to_string(r.between(1, 12)) + "/" + std::to_string(r.between(1, 28)) + "/" +
           std::to_string(r.between(fromYear, toYear));
}

std::string money(Rng& r, int lo, int hi) {
    int cents = r.between(lo * 100, hi * 100);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d.%02d", cents / 100, cents % 100);
    return buf;
}

std::string cut(std::string s, int width) {
    if (int(s.size()) > width) s.resize(size_t(width));
    return s;
}

std::vector<std::string> record(Rng& r, long n) {
    std::vector<std::string> v(rv::db::kFieldCount);
    auto set = [&](int field, std::string value) { v[size_t(field - 1)] = cut(std::move(value), rv::db::field(field).width); };
    set(1, title(r));
    int stars = r.between(1, 6);
    for (int i = 0; i < stars; ++i) set(2 + i, person(r));
    set(8, person(r));
    set(9, person(r));
    set(10, r.pick(kStudios));
    set(11, std::to_string(r.between(1930, 2026)));
    set(12, std::to_string(r.between(60, 240)));
    set(13, r.pick(kRatings));
    set(14, r.pick(kCategories));
    set(15, r.pick(kPictures));
    set(16, r.pick(kSounds));
    std::string format = r.pick(kFormats);
    set(17, format);
    set(18, r.pick(kPersonal));
    set(19, "T" + std::to_string(1000 + n / 3));
    set(20, r.pick(kSpeeds));
    int start = r.between(0, 4000);
    set(21, std::to_string(start));
    set(22, std::to_string(start + r.between(600, 2400)));
    set(23, std::string("A story of ") + r.pick(kWords) + " and " + r.pick(kWords) + " set in " + r.pick(kPlaces) +
                ", starring " + v[1] + ".");
    set(24, r.pick(kContent));
    if (r.chance(30)) set(25, r.pick(kMisc));
    set(26, std::string(r.pick(kWords)) + ", " + r.pick(kWords));
    if (format == "Laser Disc") set(27, r.pick(kLaser));
    set(28, money(r, 5, 120));
    if (r.chance(15)) set(29, std::string(r.pick(kOscars)) + ", " + r.pick(kOscars));
    if (r.chance(5)) set(30, r.pick(kOscars));
    bool out = r.chance(10);
    set(31, out ? "Yes" : "No");
    if (out) {
        set(32, date(r, 2020, 2026));
        set(33, person(r));
    }
    set(34, money(r, 1, 60));
    set(35, date(r, 1980, 2026));
    set(36, r.pick(kShops));
    set(37, r.chance(70) ? "Yes" : "No");
    set(38, person(r) + ", " + person(r));
    if (r.chance(20)) set(39, "Shelf " + std::to_string(r.between(1, 40)));
    return v;
}

void writeLine(std::ostream& out, const std::vector<std::string>& values) {
    std::string line;
    for (size_t i = 0; i < values.size(); ++i) {
        if (i) line += ',';
        line += '"';
        for (char c : values[i]) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    line += "\r\n";
    out << line;
}

}  // namespace

int main(int argc, char** argv) {
    long count = 100000;
    uint64_t seed = 1997;
    const char* outPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--seed") && i + 1 < argc) seed = std::strtoull(argv[++i], nullptr, 10);
        else if (!std::strcmp(argv[i], "-o") && i + 1 < argc) outPath = argv[++i];
        else if (argv[i][0] != '-' && std::strtol(argv[i], nullptr, 10) >= 0) count = std::strtol(argv[i], nullptr, 10);
        else {
            std::cerr << "usage: reelvane-gen [N] [--seed S] [-o FILE]\n";
            return 2;
        }
    }
    std::ofstream file;
    if (outPath) {
        file.open(outPath, std::ios::binary);
        if (!file) {
            std::cerr << "reelvane-gen: cannot write " << outPath << "\n";
            return 1;
        }
    }
    std::ostream& out = outPath ? file : std::cout;
    std::vector<std::string> titles;
    for (const auto& f : rv::db::kFields) titles.emplace_back(f.displayName);
    writeLine(out, titles);
    Rng rng{seed};
    for (long n = 0; n < count; ++n) writeLine(out, record(rng, n));
    out.flush();
    return out ? 0 : 1;
}
