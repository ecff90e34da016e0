#pragma once
// The record editor's captions, messages and questions, exactly as the windows show them.

#include <string_view>

namespace rv::edit {

inline constexpr std::string_view kCaptionEdit = "Edit";
inline constexpr std::string_view kCaptionNewRecord = "Edit (New Record)";
inline constexpr std::string_view kCaptionCopiedRecord = "Edit (New Copied Record)";

// Validation failures: title "Error", OK only.
inline constexpr std::string_view kErrorTitle = "Error";
inline constexpr std::string_view kInvalidCheckDate = "Invalid check out date specified.  Please correct.";
inline constexpr std::string_view kInvalidPurchDate = "Invalid purchase date specified.  Please correct.";
inline constexpr std::string_view kInvalidListPrice = "Invalid list price specified.  Please correct.";
inline constexpr std::string_view kInvalidPurchPrice = "Invalid purchase price specified.  Please correct.";
inline constexpr std::string_view kInvalidPlayTime = "Invalid play time specified.  Please correct.";
inline constexpr std::string_view kInvalidYear = "Invalid year specified.  Please correct.";

// Questions: title "Warning", question icon, preceded by the question sound.
inline constexpr std::string_view kWarningTitle = "Warning";
inline constexpr std::string_view kExitQuestion = "Data has changed.  Do you want to exit without updating?";
inline constexpr std::string_view kNewRecordQuestion = "Data has changed.  Update this record before creating new one?";
inline constexpr std::string_view kCopyRecordQuestion =
    "Data has changed.  Update this record before creating new one with the current data?";
inline constexpr std::string_view kPreviousNotUpdatedQuestion =
    "This record has not been updated yet.  Update this record before moving to the previous record?";
inline constexpr std::string_view kPreviousChangedQuestion =
    "Data has changed.  Update this record before moving to the previous record?";
inline constexpr std::string_view kNextNotUpdatedQuestion =
    "This record has not been updated yet.  Update this record before moving to the next record?";
inline constexpr std::string_view kNextChangedQuestion =
    "Data has changed.  Update this record before moving to the next record?";

// The main window's Delete command: title "Confirm", Yes and No, Yes the default, no icon.
inline constexpr std::string_view kConfirmTitle = "Confirm";
inline constexpr std::string_view kDeleteRecordQuestion = "Delete this record?";

// The help keyword of the editor.
inline constexpr std::string_view kHelpKeyword = "Input Window";

}  // namespace rv::edit
