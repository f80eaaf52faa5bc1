// The dialogs that ask for one typed value while a record is entered. Each shows the field's
// name as its prompt and returns the value: the text as typed, "1" or "0" for the logical one,
// the empty text when the logical one is accepted with no answer chosen. Closing a dialog
// returns nothing. `shown` is the text the edit starts with (the logical one has no edit):
// empty at first, the refused text when an answer is asked again.
#pragma once
#include <optional>
#include <string>

#include "platform/ui.h"
#include "texts/text_table.h"

namespace zentora {

inline constexpr int kNumberEntryPromptId = 1035;
inline constexpr int kNumberEntryEditId = 1036;
inline constexpr int kNumberEntryAcceptId = 1037;
inline constexpr int kTextEntryPromptId = 1039;
inline constexpr int kTextEntryEditId = 1040;
inline constexpr int kTextEntryAcceptId = 1041;
inline constexpr int kLogicalEntryPromptId = 1043;
inline constexpr int kLogicalEntryYesId = 1044;
inline constexpr int kLogicalEntryNoId = 1045;
inline constexpr int kLogicalEntryAcceptId = 1046;
inline constexpr int kMemoEntryPromptId = 1047;
inline constexpr int kMemoEntryEditId = 1048;
inline constexpr int kMemoEntryAcceptId = 1049;

platform::DialogTemplate NumberEntryTemplate(const Texts& texts, const std::u16string& prompt,
                                             const std::u16string& shown = {});
platform::DialogTemplate TextEntryTemplate(const Texts& texts, const std::u16string& prompt,
                                           const std::u16string& shown = {});
platform::DialogTemplate LogicalEntryTemplate(const Texts& texts, const std::u16string& prompt);
platform::DialogTemplate MemoEntryTemplate(const Texts& texts, const std::u16string& prompt,
                                           const std::u16string& shown = {});

std::optional<std::u16string> ShowNumberEntry(const Texts& texts, const std::u16string& prompt,
                                              const std::u16string& shown = {});
std::optional<std::u16string> ShowTextEntry(const Texts& texts, const std::u16string& prompt,
                                            const std::u16string& shown = {});
std::optional<std::u16string> ShowLogicalEntry(const Texts& texts, const std::u16string& prompt,
                                               const std::u16string& shown = {});
std::optional<std::u16string> ShowMemoEntry(const Texts& texts, const std::u16string& prompt,
                                            const std::u16string& shown = {});

}  // namespace zentora
