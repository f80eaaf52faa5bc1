// Why a file operation failed, in the words of the text table: the cause the system gave and
// the file it concerns, for the tool's messages and the program's alike.
#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "platform/system.h"
#include "storage/database.h"
#include "storage/io_status.h"
#include "texts/text_table.h"

namespace zentora {

// `pattern` with each "%1", "%2"... replaced by the value of that number, in one pass, so a
// value that itself holds "%2" (a name, a path) stays as it is.
std::u16string Substituted(std::u16string_view pattern, std::initializer_list<std::u16string_view> values);

// The cause and the file: "permission denied (read-only or no access): /home/ana/Base/Base.zbd".
std::u16string FailureWords(const TextTable& table, std::int32_t language, const IoStatus& status);

// A failure message of the program: `what` with the database's name quoted for "%1" and the
// cause and the file for "%2".
std::u16string FailureMessage(const Texts& texts, TextId what, const Database& db, const IoStatus& status);

// The database's name in the quotes of the language in force.
std::u16string QuotedName(const Texts& texts, const std::u16string& name);

// Whether trying again can work: another program may let the file go and a disk may have room
// again (and a failure of no known cause may pass); a refusal, a name too long, a missing
// folder, something that is no file or a damaged file stay as they are.
bool WorthTryingAgain(platform::FailureCause cause);

// What follows a failure message where trying again can work (" Try again ...", " Free some
// space on the disk and try again ..."); nothing where it cannot.
std::u16string TryAgainAdvice(const Texts& texts, const IoStatus& status);

}  // namespace zentora
