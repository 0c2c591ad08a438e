#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "design/NumberWell.h"
#include "design/WellFrame.h"

namespace pellucine {
namespace {

using Outcome = NumberWell::Outcome;
constexpr NumberWell::Range delays{0, 2000};

void expectOutcome(QStringView text, qint64 value, const QString& shown,
                   std::optional<qint64> commit, NumberWell::Range range = delays) {
    const Outcome outcome = NumberWell::applyText(text, value, range);
    EXPECT_EQ(outcome.text, shown) << text.toString().toStdString();
    EXPECT_EQ(outcome.commit, commit) << text.toString().toStdString();
}

TEST(NumberWellText, KeepsTheDigitsClampsAndCommitsOnlyAChange) {
    expectOutcome(u"12a3", 300, QStringLiteral("123"), 123);
    expectOutcome(u"-5", 300, QStringLiteral("5"), 5);  // the sign is dropped
    expectOutcome(u"-5", 300, QStringLiteral("10"), 10, {10, 20});
    expectOutcome(u"5000", 300, QStringLiteral("2000"), 2000);
    expectOutcome(u"1 000", 300, QStringLiteral("1000"), 1000);
    expectOutcome(u"0300", 300, QStringLiteral("300"), std::nullopt);
    expectOutcome(u"2000", 2000, QStringLiteral("2000"), std::nullopt);
    // A value outside the range is brought into it by any edit.
    expectOutcome(u"5000", 5000, QStringLiteral("2000"), 2000);
    expectOutcome(u"0", 300, QStringLiteral("0"), 0);
}

TEST(NumberWellText, TextWithoutAUsableNumberShowsTheValueAgain) {
    for (const QString& text :
         {QString(), QStringLiteral("abc"), QStringLiteral("- ."),
          QStringLiteral("99999999999999999999"), QStringLiteral("½"), QStringLiteral("12½"),
          QStringLiteral("٣"), QStringLiteral("1²"), QStringLiteral("𝟑")}) {
        expectOutcome(text, 300, QStringLiteral("300"), std::nullopt);
    }
    // The largest 64-bit number still reads, and is clamped.
    expectOutcome(u"9223372036854775807", 300, QStringLiteral("2000"), 2000);
}

// A well in a window with a second field to move the focus to. What it records outlives the
// window, which may commit as it closes.
struct Form {
    QList<qint64> commits;
    QWidget window;
    NumberWell* well;
    QLineEdit* other;

    explicit Form(qint64 value, NumberWell::Range range = delays) {
        auto* layout = new QVBoxLayout(&window);
        well = new NumberWell(value, range, QStringLiteral("ms"), QStringLiteral("Dock delay"));
        other = new QLineEdit;
        layout->addWidget(well);
        layout->addWidget(other);
        QObject::connect(well, &NumberWell::commit, &window,
                         [this](qint64 v) { commits.append(v); });
        window.show();
        QApplication::setActiveWindow(&window);
    }
    QLineEdit* field() const { return well->field(); }
    void type(const QString& text) {
        field()->setFocus();
        field()->selectAll();
        QTest::keyClicks(field(), text);
    }
};

TEST(NumberWell, ReturnCommitsOnceAndLeavingAfterwardsCommitsNothingMore) {
    Form form(300);
    form.type(QStringLiteral("5000"));
    EXPECT_TRUE(form.commits.isEmpty());  // typing alone commits nothing
    QTest::keyClick(form.field(), Qt::Key_Return);
    EXPECT_EQ(form.well->text(), QStringLiteral("2000"));
    EXPECT_EQ(form.commits, QList<qint64>{2000});
    EXPECT_TRUE(form.field()->hasFocus());
    // The owner has not stored the value yet when the focus leaves: still one commit.
    form.other->setFocus();
    EXPECT_EQ(form.commits, QList<qint64>{2000});
    // Once the owner stores it, the next edit compares against it.
    form.well->setValue(2000);
    form.type(QStringLiteral("2000"));
    QTest::keyClick(form.field(), Qt::Key_Enter);
    EXPECT_EQ(form.commits, QList<qint64>{2000});
}

TEST(NumberWell, TheOwnerStoringTheValueAtOnceChangesNothing) {
    Form form(300);
    QObject::connect(form.well, &NumberWell::commit, form.well,
                     [&form](qint64 v) { form.well->setValue(v); });
    form.type(QStringLiteral("450"));
    QTest::keyClick(form.field(), Qt::Key_Return);
    form.other->setFocus();
    EXPECT_EQ(form.commits, QList<qint64>{450});
    EXPECT_EQ(form.well->value(), 450);
    EXPECT_EQ(form.well->text(), QStringLiteral("450"));
}

TEST(NumberWell, LeavingTheFieldAppliesTheTextAndBadTextShowsTheValueAgain) {
    Form form(300);
    form.type(QStringLiteral("75"));
    form.other->setFocus();
    EXPECT_EQ(form.commits, QList<qint64>{75});

    form.well->setValue(75);
    form.type(QStringLiteral("soon"));
    form.other->setFocus();
    EXPECT_EQ(form.well->text(), QStringLiteral("75"));
    EXPECT_EQ(form.commits, QList<qint64>{75});
}

TEST(NumberWell, EscapeRestoresTheValueLeavesTheFieldAndKeepsTheKeyToItself) {
    Form form(300);
    int escapesBehind = 0;
    struct Catcher : QObject {
        int* count;
        explicit Catcher(int* c) : count(c) {}
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::KeyPress) {
                ++*count;
            }
            return false;
        }
    } catcher(&escapesBehind);
    form.window.installEventFilter(&catcher);
    form.type(QStringLiteral("1234"));
    QTest::keyClick(form.field(), Qt::Key_Escape);
    EXPECT_EQ(form.well->text(), QStringLiteral("300"));
    EXPECT_FALSE(form.field()->hasFocus());
    EXPECT_TRUE(form.commits.isEmpty());
    EXPECT_EQ(escapesBehind, 0);

    // A value outside the range is clamped by the focus loss that follows Escape.
    Form outside(5000);
    outside.type(QStringLiteral("7"));
    QTest::keyClick(outside.field(), Qt::Key_Escape);
    EXPECT_EQ(outside.commits, QList<qint64>{2000});
    EXPECT_EQ(outside.well->text(), QStringLiteral("2000"));
}

TEST(NumberWell, ArrowsMoveTheCaretAndNeverStepOrCommit) {
    Form form(300);
    form.field()->setFocus();
    form.field()->setCursorPosition(3);
    QTest::keyClick(form.field(), Qt::Key_Left);
    QTest::keyClick(form.field(), Qt::Key_Left);
    QTest::keyClicks(form.field(), QStringLiteral("5"));
    EXPECT_EQ(form.well->text(), QStringLiteral("3500"));
    QTest::keyClick(form.field(), Qt::Key_Up);
    QTest::keyClick(form.field(), Qt::Key_Down);
    EXPECT_EQ(form.well->text(), QStringLiteral("3500"));
    EXPECT_TRUE(form.commits.isEmpty());
    QTest::keyClick(form.field(), Qt::Key_Return);
    EXPECT_EQ(form.commits, QList<qint64>{2000});
}

TEST(NumberWell, AValueFromOutsideWaitsWhileTheUserTypes) {
    Form form(300);
    form.type(QStringLiteral("12"));
    form.well->setValue(800);
    EXPECT_EQ(form.well->text(), QStringLiteral("12"));
    // The typed text is measured against the new value.
    form.type(QStringLiteral("800"));
    QTest::keyClick(form.field(), Qt::Key_Return);
    EXPECT_TRUE(form.commits.isEmpty());

    form.other->setFocus();
    form.well->setValue(1500);
    EXPECT_EQ(form.well->text(), QStringLiteral("1500"));
}

TEST(NumberWell, IsAFieldNamedByItsLabelThatSpeaksItsValueWithTheUnit) {
    Form form(300);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(form.field());
    ASSERT_NE(face, nullptr);
    EXPECT_EQ(face->role(), QAccessible::EditableText);
    EXPECT_EQ(face->text(QAccessible::Name), QStringLiteral("Dock delay"));
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("300 ms"));
    form.well->setValue(1200);
    EXPECT_EQ(face->text(QAccessible::Value), QStringLiteral("1200 ms"));
    EXPECT_TRUE(face->state().focusable);
}

TEST(NumberWell, TheWellIsSixtyTwoWideAndFocusedWhileEditing) {
    Form form(300);
    EXPECT_EQ(form.well->well()->width(), 62);
    form.other->setFocus();
    EXPECT_FALSE(form.well->well()->isFocused());
    form.field()->setFocus();
    EXPECT_TRUE(form.well->well()->isFocused());
    EXPECT_EQ(form.well->well()->width(), 62);
    // A range given upside down still clamps.
    NumberWell upside(5, {10, 0}, QString(), QString());
    EXPECT_EQ(upside.range().lower, 0);
    EXPECT_EQ(upside.range().upper, 10);
}

}  // namespace
}  // namespace pellucine
