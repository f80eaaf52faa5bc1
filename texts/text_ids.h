// Every text of the table by name, the way a resource header names a program's strings: a
// window asks for text::kNoData, never for group 6, entry 1. The numbers live here alone; the
// table (text_table.cpp) gives each id its words by name, and the build checks that no id is
// given words twice and that no entry of a group is left without them.
#pragma once
#include <cstdint>

namespace zentora {

// A text of the table: its group and its entry in the group, both counted from 1.
struct TextId {
  int group = 0;
  int entry = 0;
  bool operator==(const TextId&) const = default;
};

namespace text {

// The groups, in the order of the table.
enum Group : int {
  kStructureWordsGroup = 1,
  kMissingSoundGroup,
  kMissingImageGroup,
  kSoundChooserGroup,
  kImageChooserGroup,
  kNoDataGroup,
  kProcessedGroup,
  kEntryWarningsGroup,
  kMemoViewerGroup,
  kLogicalViewerGroup,
  kTextViewerGroup,
  kNumberViewerGroup,
  kMemoEntryGroup,
  kLogicalEntryGroup,
  kTextEntryGroup,
  kNumberEntryGroup,
  kDefineFieldGroup,
  kDatabaseNameGroup,
  kBrowserTitleGroup,
  kRecordCounterGroup,
  kGoToGroup,
  kMainTitleGroup,
  kDatabaseExistsGroup,
  kDuplicateLabelGroup,
  kCreationStartedGroup,
  kMessageCaptionGroup,
  kMenuGroup,
  kAboutTitleGroup,
  kAboutTextsGroup,
  kAboutExitGroup,
  kMessagesGroup,
};
inline constexpr int kGroupCount = kMessagesGroup;

// The structure description: a word per field type (entry = type code), then the labels.
inline constexpr TextId TypeWord(std::int16_t type) { return {kStructureWordsGroup, type}; }
inline constexpr TextId kNoWord{kStructureWordsGroup, 8};
inline constexpr TextId kYesWord{kStructureWordsGroup, 9};
inline constexpr TextId kKeyLabel{kStructureWordsGroup, 10};
inline constexpr TextId kNameLabel{kStructureWordsGroup, 11};
inline constexpr TextId kTypeLabel{kStructureWordsGroup, 12};
inline constexpr TextId kSizeLabel{kStructureWordsGroup, 13};
inline constexpr TextId kDecimalsLabel{kStructureWordsGroup, 14};
inline constexpr TextId kRecordsSuffix{kStructureWordsGroup, 15};

inline constexpr TextId kSoundMissing{kMissingSoundGroup, 1};
inline constexpr TextId kImageMissing{kMissingImageGroup, 1};
inline constexpr TextId kSoundChooserTitle{kSoundChooserGroup, 1};
inline constexpr TextId kSoundFilter{kSoundChooserGroup, 2};
inline constexpr TextId kImageChooserTitle{kImageChooserGroup, 1};
inline constexpr TextId kImageFilter{kImageChooserGroup, 2};
inline constexpr TextId kNoData{kNoDataGroup, 1};
inline constexpr TextId kProcessed{kProcessedGroup, 1};
inline constexpr TextId kWeRepeat{kEntryWarningsGroup, 1};
inline constexpr TextId kValueTooLong{kEntryWarningsGroup, 2};

inline constexpr TextId kMemoViewerTitle{kMemoViewerGroup, 1};
inline constexpr TextId kStructureViewLabel{kMemoViewerGroup, 2};
inline constexpr TextId kMemoViewerExit{kMemoViewerGroup, 3};
inline constexpr TextId kLogicalViewerTitle{kLogicalViewerGroup, 1};
inline constexpr TextId kLogicalViewerYes{kLogicalViewerGroup, 2};
inline constexpr TextId kLogicalViewerNo{kLogicalViewerGroup, 3};
inline constexpr TextId kLogicalViewerAccept{kLogicalViewerGroup, 4};
inline constexpr TextId kTextViewerTitle{kTextViewerGroup, 1};
inline constexpr TextId kTextViewerAccept{kTextViewerGroup, 2};
inline constexpr TextId kNumberViewerTitle{kNumberViewerGroup, 1};
inline constexpr TextId kNumberViewerAccept{kNumberViewerGroup, 2};

inline constexpr TextId kMemoEntryTitle{kMemoEntryGroup, 1};
inline constexpr TextId kMemoEntryAccept{kMemoEntryGroup, 2};
inline constexpr TextId kLogicalEntryTitle{kLogicalEntryGroup, 1};
inline constexpr TextId kLogicalEntryYes{kLogicalEntryGroup, 2};
inline constexpr TextId kLogicalEntryNo{kLogicalEntryGroup, 3};
inline constexpr TextId kLogicalEntryAccept{kLogicalEntryGroup, 4};
inline constexpr TextId kTextEntryTitle{kTextEntryGroup, 1};
inline constexpr TextId kTextEntryAccept{kTextEntryGroup, 2};
inline constexpr TextId kNumberEntryTitle{kNumberEntryGroup, 1};
inline constexpr TextId kNumberEntryAccept{kNumberEntryGroup, 2};

inline constexpr TextId kDefineFieldTitle{kDefineFieldGroup, 1};
inline constexpr TextId kFieldNamePrompt{kDefineFieldGroup, 2};
inline constexpr TextId kDecimalOption{kDefineFieldGroup, 3};
inline constexpr TextId kIntegerOption{kDefineFieldGroup, 4};
inline constexpr TextId kStringOption{kDefineFieldGroup, 5};
inline constexpr TextId kLogicalOption{kDefineFieldGroup, 6};
inline constexpr TextId kMemoOption{kDefineFieldGroup, 7};
inline constexpr TextId kImageOption{kDefineFieldGroup, 8};
inline constexpr TextId kKeyFieldQuestion{kDefineFieldGroup, 9};
inline constexpr TextId kFieldSizePrompt{kDefineFieldGroup, 10};
inline constexpr TextId kFieldDecimalsPrompt{kDefineFieldGroup, 11};
inline constexpr TextId kFieldTypeFrame{kDefineFieldGroup, 12};
inline constexpr TextId kDefineFieldAccept{kDefineFieldGroup, 13};
inline constexpr TextId kSoundOption{kDefineFieldGroup, 14};

inline constexpr TextId kDatabaseNameTitle{kDatabaseNameGroup, 1};
inline constexpr TextId kDatabaseNameAccept{kDatabaseNameGroup, 2};
inline constexpr TextId kBrowserTitle{kBrowserTitleGroup, 1};
inline constexpr TextId kRecordCounterOf{kRecordCounterGroup, 1};
inline constexpr TextId kRecordCounterFirst{kRecordCounterGroup, 2};
inline constexpr TextId kGoToPrompt{kGoToGroup, 1};
inline constexpr TextId kGoToRange{kGoToGroup, 2};

inline constexpr TextId kMainTitle{kMainTitleGroup, 1};
inline constexpr TextId kDatabaseExists{kDatabaseExistsGroup, 1};
inline constexpr TextId kDuplicateLabel{kDuplicateLabelGroup, 1};
inline constexpr TextId kNotArchived{kDuplicateLabelGroup, 2};
inline constexpr TextId kCreationStarted{kCreationStartedGroup, 1};
inline constexpr TextId kCannotAddField{kCreationStartedGroup, 2};
inline constexpr TextId kMessageCaption{kMessageCaptionGroup, 1};

inline constexpr TextId kMenuOperations{kMenuGroup, 1};
inline constexpr TextId kMenuNew{kMenuGroup, 2};
inline constexpr TextId kMenuNewDatabase{kMenuGroup, 3};
inline constexpr TextId kMenuNewField{kMenuGroup, 4};
inline constexpr TextId kMenuInsertData{kMenuGroup, 5};
inline constexpr TextId kMenuSeeData{kMenuGroup, 6};
inline constexpr TextId kMenuDataStructure{kMenuGroup, 7};
inline constexpr TextId kMenuAuthor{kMenuGroup, 8};
inline constexpr TextId kMenuExit{kMenuGroup, 9};
inline constexpr TextId kMenuLanguages{kMenuGroup, 10};
inline constexpr TextId kMenuGoTo{kMenuGroup, 11};

inline constexpr TextId kAboutTitle{kAboutTitleGroup, 1};
inline constexpr TextId kAboutThanks{kAboutTextsGroup, 1};
inline constexpr TextId kAboutCredit{kAboutTextsGroup, 2};
inline constexpr TextId kAboutExit{kAboutExitGroup, 1};

// The program's own checks.
inline constexpr TextId kInvalidName{kMessagesGroup, 1};
inline constexpr TextId kDataFileUnavailable{kMessagesGroup, 2};
inline constexpr TextId kValueNotStored{kMessagesGroup, 3};
inline constexpr TextId kChosenFileUnreadable{kMessagesGroup, 4};
inline constexpr TextId kCacheFileNotWritten{kMessagesGroup, 5};
inline constexpr TextId kStructureUnavailable{kMessagesGroup, 6};
// "%1" in these stands for the database's name or the file's path (Texts::Filled).
inline constexpr TextId kDatabaseMissing{kMessagesGroup, 7};
inline constexpr TextId kOpenerMissing{kMessagesGroup, 8};
inline constexpr TextId kDecimalFieldRule{kMessagesGroup, 9};
inline constexpr TextId kShortFieldRule{kMessagesGroup, 10};
inline constexpr TextId kMemoFieldRule{kMessagesGroup, 11};
inline constexpr TextId kFieldNameRule{kMessagesGroup, 12};
inline constexpr TextId kStructureHeld{kMessagesGroup, 13};
inline constexpr TextId kDataFileHeld{kMessagesGroup, 14};
inline constexpr TextId kAbandonRecord{kMessagesGroup, 15};
inline constexpr TextId kYesButton{kMessagesGroup, 16};
inline constexpr TextId kNoButton{kMessagesGroup, 17};
inline constexpr TextId kOkButton{kMessagesGroup, 18};
inline constexpr TextId kCancelButton{kMessagesGroup, 19};
inline constexpr TextId kNameOutsideCodePage{kMessagesGroup, 20};
// Storing a record: a data file whose numbers give none safely for a new record (the last
// not above 0, at the limit, or below another); the questions asked
// when the record cannot be stored yet ("%1": the database's name); a file that is not one.
inline constexpr TextId kDataFileDamaged{kMessagesGroup, 21};
inline constexpr TextId kRetryDataFileHeld{kMessagesGroup, 22};
inline constexpr TextId kRetryRecordNotStored{kMessagesGroup, 23};
inline constexpr TextId kNotRegularFile{kMessagesGroup, 24};
// Lirvak's output file that could not be written ("%1": its path).
inline constexpr TextId kOutputNotWritten{kMessagesGroup, 25};
// The line of the progress dialog while another program holds the data file ("%1": the
// database's name).
inline constexpr TextId kDataFileInUseWaiting{kMessagesGroup, 26};
// A database's name in the quotes of the language ("%1": the name).
inline constexpr TextId kQuotedName{kMessagesGroup, 27};
// Why a file operation failed, as the system said it ("%1": the file's path; "%2": the
// system's own error number).
inline constexpr TextId kCauseNotFound{kMessagesGroup, 28};
inline constexpr TextId kCauseDenied{kMessagesGroup, 29};
inline constexpr TextId kCauseNoSpace{kMessagesGroup, 30};
inline constexpr TextId kCauseNameTooLong{kMessagesGroup, 31};
inline constexpr TextId kCauseHeld{kMessagesGroup, 32};
inline constexpr TextId kCauseNotRegularFile{kMessagesGroup, 33};
inline constexpr TextId kCauseDamaged{kMessagesGroup, 34};
inline constexpr TextId kCauseOther{kMessagesGroup, 35};
inline constexpr TextId kCausePartial{kMessagesGroup, 36};
// What failed ("%1": the database's name, quoted; "%2": the cause and the file).
inline constexpr TextId kFieldNotStored{kMessagesGroup, 37};
inline constexpr TextId kDatabaseNotMade{kMessagesGroup, 38};
inline constexpr TextId kDataFileNotOpened{kMessagesGroup, 39};
inline constexpr TextId kStructureNotRead{kMessagesGroup, 40};
inline constexpr TextId kRecordAbandoned{kMessagesGroup, 41};
inline constexpr TextId kRetryRecord{kMessagesGroup, 42};
// What follows a failure where trying again can work.
inline constexpr TextId kTryAgain{kMessagesGroup, 43};
inline constexpr TextId kFreeSpaceTryAgain{kMessagesGroup, 44};
// A database name whose files would not fit the file system ("%1": the folder it would go in).
inline constexpr TextId kNameTooLongForDisk{kMessagesGroup, 45};
// A value that could not be read for a viewer ("%1": the database's name, quoted; "%2": the
// cause and the file).
inline constexpr TextId kDataFileNotRead{kMessagesGroup, 46};

}  // namespace text
}  // namespace zentora
