// The commands of zentora-read and the calls of the library, each run on a hostile database
// (support/hostile_files.h) with a check of its answer: the right one, or a clear refusal.
// Shared by the test that bounds their memory and the benchmark that times them.
#pragma once
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "platform/encoding.h"
#include "reader/cli/read_command.h"
#include "reader/reader_core.h"
#include "storage/structure_file.h"
#include "support/hostile_files.h"
#include "support/temp_folder.h"

namespace zentora::testing {

inline void WriteHostileDatabase(const TempFolder& root, const HostileFile& file) {
  const Database db{root.path(), u"Hostil"};
  std::filesystem::remove_all(root.fs() / "Hostil");
  std::filesystem::create_directory(root.fs() / "Hostil");
  for (const FieldDefinition& field : file.fields) AppendFieldDefinition(db, field);
  WriteAll(root.fs() / "Hostil" / "Hostil.zbd", file.data);
}

struct ToolRun {
  int code = -1;
  std::string out, err;
};

inline ToolRun HostileTool(const TempFolder& root, std::vector<std::string> words) {
  words.insert(words.begin(), {"--folder", root.fs().string()});
  std::ostringstream out, err;
  ToolRun run;
  run.code = cli::RunReadCommand(words, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

// A command that refused a data file whose last entry holds a number below 0, saying so.
inline bool RefusedAsDamaged(const ToolRun& run) {
  return run.code == cli::kExitError && run.err.find("is damaged") != std::string::npos;
}

// Each command or call: what it is, and whether it answered rightly (0) or not (1).
struct HostileStep {
  std::string what;
  std::function<int(const TempFolder&, const HostileFile&)> run;
};

inline std::vector<HostileStep> HostileSteps() {
  const auto record = [](const HostileFile& file) { return std::to_string(file.record); };
  return {
      {"fields", [](const auto& root, const auto& file) {
         const ToolRun run = HostileTool(root, {"fields", "Hostil"});
         return run.code == cli::kExitOk && run.out.find(std::to_string(file.fields.size())) != std::string::npos ? 0 : 1;
       }},
      {"count", [](const auto& root, const auto&) {
         const ToolRun run = HostileTool(root, {"count", "Hostil"});
         return run.code == cli::kExitOk || RefusedAsDamaged(run) ? 0 : 1;
       }},
      // A record number past the last entry's is refused with a message; else the value is right.
      {"value", [record](const auto& root, const auto& file) {
         const ToolRun run = HostileTool(root, {"value", "Hostil", "Nombre", record(file)});
         if (run.code == cli::kExitError)
           return RefusedAsDamaged(run) || run.err.find("bad record number") != std::string::npos ? 0 : 1;
         const std::string expected = file.text.empty() ? "No datos" : platform::Utf16ToUtf8(file.text);
         return run.code == cli::kExitOk && run.out == expected + "\n" ? 0 : 1;
       }},
      {"attachment", [record](const auto& root, const auto& file) {
         const std::string out = (root.fs() / "salida.jpg").string();
         const ToolRun run = HostileTool(root, {"attachment", "Hostil", "Foto", record(file), out});
         if (run.code == cli::kExitError) return run.err.empty() ? 1 : 0;
         return run.code == cli::kExitOk && std::filesystem::file_size(out) == file.image_bytes ? 0 : 1;
       }},
      {"csv", [](const auto& root, const auto& file) {
         const ToolRun run = HostileTool(root, {"csv", "Hostil"});
         if (RefusedAsDamaged(run)) return 0;
         return run.code == cli::kExitOk && (file.text.empty() || run.out.find(platform::Utf16ToUtf8(file.text)) !=
                                                                      std::string::npos) ? 0 : 1;
       }},
      {"the library's count", [](const auto& root, const auto&) {
         reader::ReadOutcome outcome{};
         reader::CountRecords(root.path(), u"Hostil", kBusyWaitMs, &outcome);
         return outcome == reader::ReadOutcome::Answered ? 0 : 1;
       }},
      {"the library's value", [](const auto& root, const auto& file) {
         const std::u16string text = reader::ReadValueText(root.path(), u"Hostil", PadFieldName(u"Nombre"), file.record);
         return text == (file.text.empty() ? reader::NoDataText() : file.text) ? 0 : 1;
       }},
      {"the library's attachment", [](const auto& root, const auto& file) {
         const reader::AttachmentResult result = reader::WriteAttachment(
             root.path(), u"Hostil", PadFieldName(u"Foto"), file.record, u"salida", reader::Attachment::Image);
         const auto expected = file.image_bytes ? reader::AttachmentResult::Written : reader::AttachmentResult::Missing;
         return result == expected ? 0 : 1;
       }},
  };
}

}  // namespace zentora::testing
