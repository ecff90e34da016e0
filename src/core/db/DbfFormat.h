#pragma once
// The dBase table file layout, apart from any open table: reading and checking a header,
// writing one, and turning field bytes into values and back.  Used by Table and by the
// functions that look at table files directly.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/db/Date.h"
#include "core/db/Table.h"

namespace rv::db::dbf {

inline constexpr uint8_t kVersion = 0x03;         // dBase III/IV table without memo
// Language driver written into new tables: 0x03, Windows ANSI (code page 1252), which other
// dBase readers map to Windows-1252.  Tables carrying 0x57 (ANSI, as earlier versions wrote)
// or 0 (none) are read as Windows-1252 all the same: the byte is never consulted on reading.
inline constexpr uint8_t kLanguageDriver = 0x03;
inline constexpr uint8_t kFieldTerminator = 0x0D;
inline constexpr uint8_t kEndMarker = 0x1A;
inline constexpr int kMdxFlagOffset = 28;
inline constexpr int kLanguageDriverOffset = 29;
inline constexpr int kFixedHeaderLength = 32;
inline constexpr int kDescriptorLength = 32;
inline constexpr int kMaxCharWidth = 254;
inline constexpr char kDeletedFlag = '*';
inline constexpr char kLiveFlag = ' ';

struct Layout {
    uint8_t version = kVersion;
    uint32_t count = 0;         // records, as the header says
    uint32_t headerLength = 0;  // bytes before the first record
    uint32_t recordLength = 0;  // bytes per record, deletion flag included
    uint8_t mdxFlag = 0;
    std::vector<FieldInfo> fields;
};

// True when the first bytes of a file look like a dBase table header (version byte and size).
bool looksLikeTable(std::string_view firstBytes);

// Reads and checks the header at the start of `file` (the whole file, or at least its header).
// `label` names the file in messages.  Raises DatabaseError when the file is no dBase table,
// is too short for its header, or has a bad field type, width or record length.  The record
// count is not checked against the file size here.
Layout parseHeader(std::string_view file, const std::string& label);

// Field layout of a new table; raises DatabaseError for a bad name or width.
std::vector<FieldInfo> fieldsFromSpecs(const std::vector<FieldSpec>& specs);

// The header bytes of a table (fixed part, descriptors, terminator).
std::string buildHeader(const std::vector<FieldInfo>& fields, uint32_t count, bool mdxFlag);
uint32_t recordLengthOf(const std::vector<FieldInfo>& fields);

// The header's "last update" date (bytes 1-3: year - 1900, month, day) for today.
std::string todayStamp();

// ---- Field values -----------------------------------------------------------------------
// `field` points at the field's bytes within a record.
std::string_view stored(const char* record, const FieldInfo& f);
bool isBlank(std::string_view bytes);
std::string text(std::string_view bytes, const FieldInfo& f, const DateCodec& codec);
double number(std::string_view bytes);
Date date(std::string_view bytes, const FieldInfo& f);

// Writers fill the field's bytes in `record`; they raise DatabaseError naming the field and
// the value when the value does not suit the field.
void setText(char* record, const FieldInfo& f, std::string_view value, const DateCodec& codec);
void setNumber(char* record, const FieldInfo& f, double value);
void setDate(char* record, const FieldInfo& f, const Date& value, const DateCodec& codec);
void setBlank(char* record, const FieldInfo& f);

}  // namespace rv::db::dbf
