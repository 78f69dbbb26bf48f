// The go-to dialog driven through its own controls against a real ROM window.
#include <QApplication>
#include <QClipboard>
#include <QTest>
#include <QTimer>

#include "document/goto_form.h"
#include "support/app_fixture.h"

namespace varnock::test {
namespace {

class GotoTest : public AppTest {
 protected:
  // Radix and method first, so no radix conversion touches the text.
  void Setup(bool hex, bool relative, const QString& text) {
    GotoForm->GotoEdit->clear();
    (hex ? GotoForm->HexItem : GotoForm->DecItem)->click();
    (relative ? GotoForm->RelativeItem : GotoForm->AbsoluteItem)->click();
    GotoForm->GotoEdit->setText(text);
  }
};

struct JumpCase {
  const char* name;
  const char* file;
  int start;
  bool hex, relative;
  const char* text;
  int32_t value;
  int expected;
};
void PrintTo(const JumpCase& c, std::ostream* os) {
  *os << c.name;
}

class JumpTest : public GotoTest, public ::testing::WithParamInterface<JumpCase> {};

// Virtual Boy: range 0..61440; Game Boy: 336..61440.
const JumpCase kJumpCases[] = {
    {"Hex100", "a.vb", 5000, true, false, "100", 256, 256},
    {"Dec100", "a.vb", 5000, false, false, "100", 100, 100},
    {"Dec100BelowMinimum", "a.gb", 5000, false, false, "100", 100, 336},
    {"ZeroOnGameBoyIsMinimum", "a.gb", 5000, true, false, "0", 0, 336},
    {"HexRelativeBack16", "a.vb", 5000, true, true, "FFFFFFF0", -16, 4984},
    {"DecRelativeBack16", "a.vb", 5000, false, true, "-16", -16, 4984},
    {"DecRelativeForward", "a.vb", 5000, false, true, "+24", 24, 5024},
    {"LowerCasePastedHex", "a.vb", 5000, true, false, "1a0", 416, 416},
    {"LeadingZeros", "a.vb", 5000, true, false, "00000010", 16, 16},
    {"NegativeAbsoluteClamps", "a.gb", 5000, true, false, "FFFFFFFF", -1, 336},
    {"HugeAbsoluteClamps", "a.vb", 5000, true, false, "7FFFFFFF", INT32_MAX, 61440},
    {"MostNegativeRelative", "a.vb", 5000, true, true, "80000000", INT32_MIN, 0},
    {"LongDecimalFromConversion", "a.vb", 5000, false, true, "-2147483648", INT32_MIN, 0},
};

TEST_P(JumpTest, GoMovesTheViewAndCloses) {
  const JumpCase& c = GetParam();
  TChildForm* child = Open(c.file, PatternBytes(65536, 21));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(c.start);
  GotoForm->show();
  Setup(c.hex, c.relative, QString::fromUtf8(c.text));
  const int decodes = child->DecodeCount;
  QTest::mouseClick(GotoForm->GoButton, Qt::LeftButton);
  EXPECT_EQ(GotoForm->GotoValue, c.value);
  EXPECT_EQ(child->Doc.ViewOffset, c.expected);
  EXPECT_EQ(child->ScrollBar->value(), c.expected);
  EXPECT_EQ(child->DecodeCount - decodes, c.expected == c.start ? 0 : 1);
  EXPECT_FALSE(GotoForm->isVisible());
  EXPECT_EQ(GotoForm->result(), QDialog::Accepted);
  EXPECT_TRUE(prompts.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Go, JumpTest, ::testing::ValuesIn(kJumpCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadTextCase {
  const char* name;
  bool hex;
  const char* text;
  const char* message;
};
void PrintTo(const BadTextCase& c, std::ostream* os) {
  *os << c.name;
}

class BadTextTest : public GotoTest, public ::testing::WithParamInterface<BadTextCase> {};

const BadTextCase kBadTexts[] = {
    {"HexLetters", true, "XYZ", "'0xXYZ' non è un valore integer valido"},
    {"HexSign", true, "-1", "'0x-1' non è un valore integer valido"},
    {"HexOwnPrefix", true, "0x10", "'0x0x10' non è un valore integer valido"},
    {"HexSpace", true, "1 2", "'0x1 2' non è un valore integer valido"},
    {"DecWithHexDigit", false, "12a", "'12a' non è un valore integer valido"},
    {"DecFraction", false, "1.5", "'1.5' non è un valore integer valido"},
    {"DecOnlySign", false, "-", "'-' non è un valore integer valido"},
};

TEST_P(BadTextTest, ReportsMovesNothingAndStaysOpen) {
  const BadTextCase& c = GetParam();
  TChildForm* child = Open("a.vb", PatternBytes(65536, 21));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(4096);
  GotoForm->show();
  Setup(c.hex, false, QString::fromUtf8(c.text));
  const int decodes = child->DecodeCount;
  QTest::mouseClick(GotoForm->GoButton, Qt::LeftButton);
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text, QString::fromUtf8(c.message));
  EXPECT_EQ(prompts.Messages[0].Buttons, PromptButtons::Ok);
  EXPECT_EQ(prompts.Messages[0].Icon, PromptIcon::Stop);
  EXPECT_EQ(child->Doc.ViewOffset, 4096);
  EXPECT_EQ(child->DecodeCount, decodes);
  EXPECT_TRUE(GotoForm->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Go, BadTextTest, ::testing::ValuesIn(kBadTexts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GotoTest, EmptyTextMakesGoEnterAndF3DoNothing) {
  TChildForm* child = Open("a.vb", PatternBytes(65536, 21));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(4096);
  const int decodes = child->DecodeCount;
  GotoForm->show();
  Setup(true, true, QString());
  QTest::mouseClick(GotoForm->GoButton, Qt::LeftButton);
  QTest::keyClick(GotoForm->GotoEdit, Qt::Key_Return);
  EXPECT_TRUE(GotoForm->isVisible());
  GotoForm->hide();
  child->GotoAgain1->trigger();
  EXPECT_EQ(child->Doc.ViewOffset, 4096);
  EXPECT_EQ(child->DecodeCount, decodes);
  EXPECT_TRUE(prompts.Messages.empty());
}

struct TypingCase {
  const char* name;
  bool hex;
  const char* typed;
  const char* expected;
};
void PrintTo(const TypingCase& c, std::ostream* os) {
  *os << c.name;
}

class TypingTest : public GotoTest, public ::testing::WithParamInterface<TypingCase> {};

const TypingCase kTypingCases[] = {
    {"HexLowerCaseUpperCased", true, "a", "A"},
    {"HexDigitsAndLetters", true, "0fE9", "0FE9"},
    {"HexRejectsG", true, "g", ""},
    {"HexRejectsSignAndSpace", true, "-1 2", "12"},
    {"HexAtMostEight", true, "123456789A", "12345678"},
    {"DecRejectsA", false, "a", ""},
    {"DecRejectsG", false, "G", ""},
    {"DecRejectsMinus", false, "-5", "5"},
    {"DecAtMostEight", false, "1234567890", "12345678"},
};

TEST_P(TypingTest, FiltersTypedCharacters) {
  const TypingCase& c = GetParam();
  Setup(c.hex, false, QString());
  QTest::keyClicks(GotoForm->GotoEdit, QString::fromUtf8(c.typed));
  EXPECT_EQ(GotoForm->GotoEdit->text(), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Keys, TypingTest, ::testing::ValuesIn(kTypingCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GotoTest, EditingKeysStillEdit) {
  Setup(true, false, QString());
  QTest::keyClicks(GotoForm->GotoEdit, QStringLiteral("12345678"));
  QTest::keyClick(GotoForm->GotoEdit, Qt::Key_Backspace);
  QTest::keyClick(GotoForm->GotoEdit, Qt::Key_Home);
  QTest::keyClick(GotoForm->GotoEdit, Qt::Key_Delete);
  EXPECT_EQ(GotoForm->GotoEdit->text(), QStringLiteral("234567"));
  QApplication::clipboard()->setText(QStringLiteral("zz9999"));
  QTest::keyClick(GotoForm->GotoEdit, Qt::Key_V, Qt::ControlModifier);
  // Pasting is not filtered, but no more than eight characters get in.
  EXPECT_EQ(GotoForm->GotoEdit->text(), QStringLiteral("zz234567"));
}

struct RadixCase {
  const char* name;
  bool fromHex;
  const char* text;
  const char* converted;
  const char* back;
};
void PrintTo(const RadixCase& c, std::ostream* os) {
  *os << c.name;
}

class RadixTest : public GotoTest, public ::testing::WithParamInterface<RadixCase> {};

const RadixCase kRadixCases[] = {
    {"FFTo255", true, "FF", "255", "FF"},
    {"AllOnesIsMinusOne", true, "FFFFFFFF", "-1", "FFFFFFFF"},
    {"MostNegativeKeepsAllDigits", true, "80000000", "-2147483648", "80000000"},
    {"NineDigitDecimal", true, "5F5E100", "100000000", "5F5E100"},
    {"NegativeDecimalTwosComplement", false, "-16", "FFFFFFF0", "-16"},
    {"LeadingZerosDropped", false, "0042", "2A", "42"},
};

TEST_P(RadixTest, ConvertsTheTextBothWays) {
  const RadixCase& c = GetParam();
  Setup(c.fromHex, false, QString::fromUtf8(c.text));
  (c.fromHex ? GotoForm->DecItem : GotoForm->HexItem)->click();
  EXPECT_EQ(GotoForm->GotoEdit->text(), QString::fromUtf8(c.converted));
  (c.fromHex ? GotoForm->HexItem : GotoForm->DecItem)->click();
  EXPECT_EQ(GotoForm->GotoEdit->text(), QString::fromUtf8(c.back));
  EXPECT_TRUE(prompts.Messages.empty());
}

INSTANTIATE_TEST_SUITE_P(Radix, RadixTest, ::testing::ValuesIn(kRadixCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(GotoTest, RadixSwitchOfANonNumberReportsAndKeepsTheText) {
  Setup(true, false, QStringLiteral("XYZ"));
  GotoForm->DecItem->click();
  ASSERT_EQ(prompts.Messages.size(), 1u);
  EXPECT_EQ(prompts.Messages[0].Text, QStringLiteral("'0xXYZ' non è un valore integer valido"));
  EXPECT_TRUE(GotoForm->DecItem->isChecked());
  EXPECT_EQ(GotoForm->GotoEdit->text(), QStringLiteral("XYZ"));
}

TEST_F(GotoTest, ModalDialogKeepsItsSettingsAndF3Repeats) {
  TChildForm* child = Open("a.vb", PatternBytes(65536, 21));
  ASSERT_NE(child, nullptr);
  child->MoveViewTo(4096);
  Setup(true, false, QString());
  bool wasModal = false;
  QTimer::singleShot(0, [&] {
    wasModal = QApplication::activeModalWidget() == GotoForm;
    QTest::keyClicks(GotoForm->GotoEdit, QStringLiteral("10"));
    GotoForm->RelativeItem->click();
    QTest::keyClick(GotoForm->GotoEdit, Qt::Key_Return);  // Enter runs Vai!
  });
  child->Goto1->trigger();
  EXPECT_TRUE(wasModal);
  EXPECT_EQ(child->Doc.ViewOffset, 4112);

  QString text;
  bool hex = false, relative = false;
  QTimer::singleShot(0, [&] {
    text = GotoForm->GotoEdit->text();
    hex = GotoForm->HexItem->isChecked();
    relative = GotoForm->RelativeItem->isChecked();
    QTest::mouseClick(GotoForm->CancelButton, Qt::LeftButton);
  });
  child->Goto1->trigger();
  EXPECT_EQ(text, QStringLiteral("10"));
  EXPECT_TRUE(hex);
  EXPECT_TRUE(relative);
  EXPECT_EQ(GotoForm->result(), QDialog::Rejected);
  EXPECT_EQ(child->Doc.ViewOffset, 4112);

  child->GotoAgain1->trigger();  // F3: the same distance once more, without the dialog
  EXPECT_EQ(child->Doc.ViewOffset, 4128);
  EXPECT_FALSE(GotoForm->isVisible());
}

TEST_F(GotoTest, TabLeavesTheEditBoxForGo) {
  GotoForm->show();
  QApplication::setActiveWindow(GotoForm);
  GotoForm->GotoEdit->setFocus();
  ASSERT_TRUE(QTest::qWaitFor([] { return GotoForm->GotoEdit->hasFocus(); }));
  QTest::keyClick(GotoForm->GotoEdit, Qt::Key_Tab);
  EXPECT_TRUE(GotoForm->GoButton->hasFocus());
  EXPECT_EQ(GotoForm->GotoEdit->text(), QString());
}

}  // namespace
}  // namespace varnock::test
