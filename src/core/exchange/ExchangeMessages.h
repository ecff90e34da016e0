#pragma once
// The captions and messages of import and export, exactly as the windows and the command
// line show them (Windows-1252 text).

namespace rv::exchange {

inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kOkTitle = "Ok";
inline constexpr const char* kNoticeTitle = "Notice";

// The refused first line: the head, then one of the reasons.
inline constexpr const char* kNotAsciiHead =
    "The file selected does not appear to be an ASCII delimited text file.  "
    "An ASCII delimited file requires a unique format of each field being "
    "surrounded by double quotes and separated by a comma.  ";
inline constexpr const char* kFieldTooLong = "The selected file has a field that is greater than 255 characters.";
inline constexpr const char* kUnexpectedEnd =
    "The selected file had an unexpected end of a line most likely due to an unmatched quote.";
inline constexpr const char* kTooManyFields =
    "The selected file has too many fields.  There are at least 10 more fields than are required by Reelvane.";

inline constexpr const char* kInvalidFileType = "Invalid file type selected.";
inline constexpr const char* kImportComplete = "Import Complete.";
inline constexpr const char* kExportComplete = "Export Complete.";
inline constexpr const char* kNoFieldsSelected = "No fields selected for export.";
// A dBase source with more fields than the import window holds (title "Notice", shown once).
inline constexpr const char* kWideSourceNotice =
    "The selected DBase file has more than 50 fields.  Only its first 50 fields can be imported.";
// Export over the open database would replace the table under the program's feet.
inline constexpr const char* kExportOverDatabase =
    "The export file cannot be the database that is open.  Please choose another file name.";

// Window captions and grid headings.
inline constexpr const char* kImportFormatCaption = "Import Format";
inline constexpr const char* kAsciiImportCaption = "Ascii Delimited Text Import";
inline constexpr const char* kDbfImportCaption = "DBase File Import";
inline constexpr const char* kExportCaption = "Export";
inline constexpr const char* kImportDialogTitle = "Import Data";
inline constexpr const char* kExportDialogTitle = "Export Data";
inline constexpr const char* kEmptyImportField = "<EMPTY>";
inline constexpr const char* kYes = "Yes";
inline constexpr const char* kNo = "No";

}  // namespace rv::exchange
