#include "core/db/Conversion.h"

#include <array>
#include <system_error>
#include <vector>

#include "core/app/Paths.h"
#include "core/db/DbfFormat.h"
#include "core/db/Table.h"
#include "core/db/VideoTable.h"

namespace rv::db {

namespace fs = std::filesystem;

namespace {

// The field names of the old tables from the second field on.
constexpr std::array<const char*, 28> kVersion2Fields{
    "Title",    "Star1",      "Star2",      "Star3",      "Star4",      "Producer",   "Director",
    "ReleasedBy", "Year",     "RunTime",    "Rating",     "Category",   "Picture",    "Sound",
    "Format",   "PersonalRa", "MediaNum",   "RecSpeed",   "CounterSta", "CounterSto", "Descriptio",
    "Content",  "Miscellane", "KeyWords",   "LaserForma", "ListPrice",  "OscarNom",   "OscarAward"};
constexpr std::array<const char*, 25> kVersion1Fields{
    "Title",    "Star1",      "Star2",      "Star3",      "Star4",      "Producer",   "Director",
    "ReleasedBy", "Year",     "RunTime",    "Rating",     "Category",   "Picture",    "Sound",
    "Format",   "PersonalRa", "TapeNum",    "RecSpeed",   "CounterSta", "CounterSto", "Descriptio",
    "Content",  "CloseCapt",  "NoiseRed",   "SurroundSo"};

template <std::size_t N>
bool hasFields(const fs::path& path, const std::array<const char*, N>& names) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return false;
    try {
        Table check;
        check.setPath(fs::absolute(path, ec));
        check.setReadOnly(true);
        if (!fs::exists(check.mdxPath(), ec)) RemoveMDXByte(check.path());
        check.open();
        bool valid = check.fieldCount() == int(N) + 1;
        for (std::size_t i = 0; valid && i < N; ++i) valid = equalsNoCase(check.fieldName(int(i) + 1), names[i]);
        return valid;
    } catch (const DatabaseError&) {
        return false;
    }
}

// One value to copy: from the old field (by name) to the new field (by name).
struct Copy {
    const char* from;
    const char* to;
};

// The fields both versions carry under the same name.
constexpr std::array<Copy, 21> kCommon{{
    {"Title", "Title"},         {"Star1", "Star1"},           {"Star2", "Star2"},           {"Star3", "Star3"},
    {"Star4", "Star4"},         {"Producer", "Producer"},     {"Director", "Director"},     {"ReleasedBy", "ReleasedBy"},
    {"Year", "Year"},           {"RunTime", "RunTime"},       {"Rating", "Rating"},         {"Category", "Category"},
    {"Picture", "Picture"},     {"Sound", "Sound"},           {"Format", "Format"},         {"PersonalRa", "PersonalRa"},
    {"RecSpeed", "RecSpeed"},   {"CounterSta", "CounterSta"}, {"CounterSto", "CounterSto"}, {"Descriptio", "Descriptio"},
    {"Content", "Content"},
}};
constexpr std::array<Copy, 7> kVersion2Only{{
    {"MediaNum", "MediaNum"}, {"Miscellane", "Miscellane"}, {"KeyWords", "KeyWords"},   {"LaserForma", "LaserForma"},
    {"ListPrice", "ListPrice"}, {"OscarNom", "OscarNom"},   {"OscarAward", "OscarAward"},
}};

// The converted records: the target fields and, per record, their texts.
struct Converted {
    std::vector<int> targetFields;
    std::vector<std::vector<std::string>> records;
};

// Reads every live record of the old table into new-field texts.
Converted readOld(const Table& target, const fs::path& path, bool version1, const DateCodec* dates) {
    std::vector<Copy> copies(kCommon.begin(), kCommon.end());
    if (version1)
        copies.push_back({"TapeNum", "MediaNum"});
    else
        copies.insert(copies.end(), kVersion2Only.begin(), kVersion2Only.end());

    Converted out;
    for (const Copy& c : copies) out.targetFields.push_back(target.fieldIndex(c.to));
    const int miscellane = target.fieldIndex("Miscellane");
    if (version1) out.targetFields.push_back(miscellane);
    for (int field : out.targetFields)
        if (field < 0) throw DatabaseError("The current database is not a video table; nothing was converted.");

    std::error_code ec;
    Table old;
    old.setPath(fs::absolute(path, ec));
    old.setReadOnly(true);
    if (dates) old.setDateCodec(dates);
    old.open();
    std::vector<int> sourceFields;
    for (const Copy& c : copies) sourceFields.push_back(old.fieldIndex(c.from));
    const int flags[3] = {old.fieldIndex("CloseCapt"), old.fieldIndex("NoiseRed"), old.fieldIndex("SurroundSo")};
    auto text = [&](int field) { return field < 0 ? std::string() : old.asString(field); };
    for (old.first(); !old.eof(); old.next()) {
        std::vector<std::string> values;
        values.reserve(out.targetFields.size());
        for (int field : sourceFields) values.push_back(text(field));
        if (version1) values.push_back(version1Miscellaneous(text(flags[0]), text(flags[1]), text(flags[2])));
        out.records.push_back(std::move(values));
    }
    old.close();
    return out;
}

// Every value must suit its new field before anything is appended: each is written into a
// scratch record exactly as the append will write it.
void check(const Table& target, const Converted& converted, const DateCodec& dates) {
    std::size_t length = 1;
    for (int i = 0; i < target.fieldCount(); ++i)
        length = std::max(length, std::size_t(target.fieldInfo(i).offset + target.fieldInfo(i).length));
    std::string scratch(length, ' ');
    for (const auto& values : converted.records)
        for (std::size_t i = 0; i < values.size(); ++i)
            dbf::setText(scratch.data(), target.fieldInfo(converted.targetFields[i]), values[i], dates);
}

int convert(Table& target, const fs::path& path, bool version1, const DateCodec* dates) {
    if (!target.isWritable()) throw DatabaseError("The current database cannot be changed; nothing was converted.");
    const DateCodec* kept = &target.dateCodec();
    const DateCodec& used = dates ? *dates : *kept;
    const Converted converted = readOld(target, path, version1, dates);
    check(target, converted, used);
    if (dates) target.setDateCodec(dates);
    struct Restore {
        Table& t;
        const DateCodec* codec;
        ~Restore() {
            t.setDateCodec(codec);
            t.enableControls();
        }
    } restore{target, kept};
    target.disableControls();
    for (const auto& values : converted.records) {
        target.append();
        for (std::size_t i = 0; i < values.size(); ++i) target.setString(converted.targetFields[i], values[i]);
        target.post();
    }
    target.flush();
    return int(converted.records.size());
}

}  // namespace

bool CheckDBaseFormatV2(const fs::path& path) { return hasFields(path, kVersion2Fields); }
bool CheckDBaseFormatV1(const fs::path& path) { return hasFields(path, kVersion1Fields); }

std::string version1Miscellaneous(const std::string& closeCapt, const std::string& noiseRed, const std::string& surroundSo) {
    std::string out;
    if (equalsNoCase(closeCapt, "YES")) out += "Closed Captioned, ";
    if (equalsNoCase(noiseRed, "YES")) out += "Noise Reduction, ";
    if (equalsNoCase(surroundSo, "YES")) out += "Surround Sound, ";
    if (!out.empty()) out.resize(out.size() - 2);
    return out;
}

int ConvertV2(Table& target, const fs::path& path) { return convert(target, path, false, nullptr); }

int ConvertV1(Table& target, const fs::path& path, const DateCodec& version1Dates) {
    return convert(target, path, true, &version1Dates);
}

ConversionResult CheckForConversion(Table& target, const fs::path& programFolder,
                                    const std::function<bool(const std::string&)>& ask, const DateCodec& version1Dates) {
    ConversionResult result;
    std::error_code ec;
    const fs::path v2 = app::findFileNoCase(programFolder, kVersion2File);
    if (fs::exists(v2, ec) && CheckDBaseFormatV2(v2) && ask(kConvertVersion2Question)) {
        result.version2Records = ConvertV2(target, v2);
        fs::remove(v2, ec);
    }
    const fs::path v1 = app::findFileNoCase(programFolder, kVersion1File);
    if (fs::exists(v1, ec) && CheckDBaseFormatV1(v1) && ask(kConvertVersion1Question)) {
        result.version1Records = ConvertV1(target, v1, version1Dates);
        fs::remove(v1, ec);
    }
    return result;
}

}  // namespace rv::db
