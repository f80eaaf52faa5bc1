// The four dialogs that take one typed value while a record is entered.
#include "dialogs/entry_dialogs.h"

#include <optional>
#include <string>
#include <vector>

#include "platform/headless/script.h"
#include "storage/field_definition.h"
#include "scripted_test.h"

namespace zentora {
namespace {

namespace headless = platform::headless;
using platform::ControlKind;
using platform::Rect;

const std::u16string kPrompt = PadFieldName(u"Nombre");

struct EntryCase {
  const char* name;
  platform::DialogTemplate (*make)(const Texts&, const std::u16string&);
  std::optional<std::u16string> (*show)(const Texts&, const std::u16string&, const std::u16string&);
  std::u16string spanish;
  std::u16string english;
  Rect rect;
  int prompt_id;
  int input_id;  // the edit, or the "Sí" option
  Rect input;
  std::uint32_t input_flags;
  bool input_bold;
  int accept_id;
  Rect accept;
};

const std::vector<EntryCase>& EntryCases() {
  static const std::vector<EntryCase> cases = {
      {"number", [](const Texts& t, const std::u16string& p) { return NumberEntryTemplate(t, p); }, ShowNumberEntry, u"Insertar Datos Numéricos", u"Insert Numeric data",
       {70, 70, 338, 59}, 1035, 1036, {5, 20, 330, 15}, platform::kBorder | platform::kScrollsSideways, true, 1037,
       {5, 40, 50, 15}},
      {"text", [](const Texts& t, const std::u16string& p) { return TextEntryTemplate(t, p); }, ShowTextEntry, u"Insertar Cadena", u"Insert text string", {70, 70, 335, 65}, 1039,
       1040, {5, 20, 330, 25},
       platform::kMultiLine | platform::kSunken | platform::kHorizontalScrollBar | platform::kScrollsSideways, true, 1041,
       {5, 46, 50, 15}},
      {"logical", LogicalEntryTemplate, ShowLogicalEntry, u"Insertar respuesta lógica", u"Insert logical response",
       {70, 70, 337, 75}, 1043, 1044, {5, 20, 100, 15}, 0, true, 1046, {5, 55, 50, 15}},
      {"memo", [](const Texts& t, const std::u16string& p) { return MemoEntryTemplate(t, p); }, ShowMemoEntry, u"Insertar MemoText", u"Insert memotext", {70, 70, 336, 321}, 1047,
       1048, {5, 20, 330, 280}, platform::kMultiLine | platform::kSunken | platform::kVerticalScrollBar | platform::kWrap |
           platform::kWantsReturn,
       false, 1049, {5, 303, 50, 15}},
  };
  return cases;
}

TEST(EntryDialogTemplates, EachShowsThePromptAndItsOwnControls) {
  for (const EntryCase& c : EntryCases()) {
    for (const bool english : {false, true}) {
      const platform::DialogTemplate dialog = c.make(Texts{english ? 5 : 1}, kPrompt);
      SCOPED_TRACE(std::string(c.name) + (english ? " english" : " spanish"));
      EXPECT_EQ(dialog.caption, english ? c.english : c.spanish);
      EXPECT_EQ(dialog.rect, c.rect);
      EXPECT_EQ(dialog.style, platform::kStyleCaption | platform::kStyleSystemMenu | platform::kStyleModalFrame);
      const std::size_t count = c.make == LogicalEntryTemplate ? 4u : 3u;
      ASSERT_EQ(dialog.controls.size(), count);
      const platform::ControlTemplate& prompt = dialog.controls[0];
      EXPECT_EQ(prompt.id, c.prompt_id);
      EXPECT_EQ(prompt.kind, ControlKind::Static);
      EXPECT_EQ(prompt.rect, (Rect{5, 5, 330, 15}));
      // The whole 35-unit name, trailing spaces and all.
      EXPECT_EQ(prompt.text, kPrompt);
      const platform::ControlTemplate& input = dialog.controls[1];
      EXPECT_EQ(input.id, c.input_id);
      EXPECT_EQ(input.rect, c.input);
      EXPECT_EQ(input.flags, c.input_flags);
      EXPECT_EQ(input.font, (platform::Font{u"MS Sans Serif", 10, c.input_bold}));
      const platform::ControlTemplate& accept = dialog.controls.back();
      EXPECT_EQ(accept.id, c.accept_id);
      EXPECT_EQ(accept.kind, ControlKind::Button);
      EXPECT_EQ(accept.rect, c.accept);
      EXPECT_EQ(accept.text, english ? u"Accept" : u"Aceptar");
      EXPECT_TRUE(accept.font.bold);
    }
  }
}

TEST(EntryDialogTemplates, TheLogicalOptionsInBothLanguages) {
  for (const bool english : {false, true}) {
    const platform::DialogTemplate dialog = LogicalEntryTemplate(Texts{english ? 5 : 1}, kPrompt);
    ASSERT_EQ(dialog.controls.size(), 4u);
    EXPECT_EQ(dialog.controls[1].kind, ControlKind::Option);
    EXPECT_EQ(dialog.controls[1].text, english ? u"Yes" : u"Sí");
    EXPECT_EQ(dialog.controls[2].id, 1045);
    EXPECT_EQ(dialog.controls[2].kind, ControlKind::Option);
    EXPECT_EQ(dialog.controls[2].rect, (Rect{5, 35, 100, 15}));
    EXPECT_EQ(dialog.controls[2].text, u"No");
  }
}

class EntryDialogTest : public testing::ScriptedTest {
 protected:
  Texts texts{1};
};

TEST_F(EntryDialogTest, TypedDialogsGiveTheWholeTextAsTyped) {
  struct Typed {
    std::optional<std::u16string> (*show)(const Texts&, const std::u16string&, const std::u16string&);
    std::u16string caption;
    int edit;
    int accept;
    std::u16string typed;
  };
  const std::vector<Typed> cases = {
      {ShowNumberEntry, u"Insertar Datos Numéricos", 1036, 1037, u"12,5"},
      {ShowNumberEntry, u"Insertar Datos Numéricos", 1036, 1037, u"abc"},  // no check here: any text
      {ShowNumberEntry, u"Insertar Datos Numéricos", 1036, 1037, u""},
      {ShowTextEntry, u"Insertar Cadena", 1040, 1041, u"  con espacios  "},
      {ShowMemoEntry, u"Insertar MemoText", 1048, 1049, u"primera línea\r\nsegunda línea"},
  };
  for (const Typed& c : cases) script.ExpectDialog(c.caption).Type(c.edit, c.typed).Click(c.accept);
  script.ExpectDialog(u"Insertar Cadena").Type(1040, u"tecla").PressKey(1041);
  for (const Typed& c : cases) EXPECT_EQ(c.show(texts, kPrompt, u""), c.typed);
  EXPECT_EQ(ShowTextEntry(texts, kPrompt), u"tecla");
}

TEST_F(EntryDialogTest, ClosingAnyOfThemGivesNothing) {
  for (const EntryCase& c : EntryCases()) {
    script.ExpectDialog(c.spanish);
    if (c.make == LogicalEntryTemplate) {
      script.Click(1044);
    } else {
      script.Type(c.input_id, u"escrito");
    }
    script.Close();
  }
  for (const EntryCase& c : EntryCases()) EXPECT_EQ(c.show(texts, kPrompt, u""), std::nullopt) << c.name;
}

TEST_F(EntryDialogTest, TheLogicalAnswerIsTheOptionClickedLast) {
  const std::u16string caption = u"Insertar respuesta lógica";
  script.ExpectDialog(caption).Click(1044).Click(1045).Click(1046);
  script.ExpectDialog(caption).Click(1045).Click(1044).PressKey(1046);
  script.ExpectDialog(caption)
      .Inspect([](const headless::DialogState& shown) {
        EXPECT_FALSE(shown.Control(1044).checked);
        EXPECT_FALSE(shown.Control(1045).checked);
      })
      .Click(1046);
  EXPECT_EQ(ShowLogicalEntry(texts, kPrompt), u"0");
  EXPECT_EQ(ShowLogicalEntry(texts, kPrompt), u"1");
  // Accepting with no answer chosen gives the empty answer, not the answer of the field before.
  EXPECT_EQ(ShowLogicalEntry(texts, kPrompt), u"");
}

}  // namespace
}  // namespace zentora
