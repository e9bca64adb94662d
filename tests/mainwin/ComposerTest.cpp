#include "desktop/HelpDialog.h"
#include "mainwin/AssembleDialog.h"
#include "mainwin/ComposerHost.h"
#include "mainwin/MainWinFixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <array>
#include <utility>
#include <vector>

namespace {

// The composer opened on a shown main window, as the disassembly list opens it.
class ComposerTest : public MainWinTest {
 protected:
  TAssembleDialog& Open(int address) {
    Dialog = std::make_unique<TAssembleDialog>(*Main);
    Dialog->SetAddress(address);
    Dialog->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));
    Dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(Dialog.get()));
    return *Dialog;
  }

  // Picks an item the way a user does: opens the list and clicks the entry.
  static void Choose(QComboBox* box, const QString& item) {
    const int index = box->findText(item);
    ASSERT_GE(index, 0) << item.toStdString();
    box->showPopup();
    QAbstractItemView* view = box->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    const QModelIndex entry = view->model()->index(index, 0);
    view->scrollTo(entry);
    const QPoint point(view->viewport()->width() / 2, view->visualRect(entry).center().y());
    QTest::mouseMove(view->viewport(), point);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    ASSERT_FALSE(view->isVisible());
    ASSERT_EQ(box->currentText(), item);
  }

  // What the four boxes show, "-" marking a disabled box.
  QString Shown() const {
    QStringList texts;
    for (QComboBox* box : {Dialog->opcode, Dialog->op1, Dialog->op2, Dialog->op3})
      texts << (box->isEnabled() ? box->currentText() : "-" + box->currentText());
    return texts.join('|');
  }

  std::unique_ptr<TAssembleDialog> Dialog;
};

TEST_F(ComposerTest, OpensWithTheInstructionInMemoryShownInTheBoxes) {
  struct Row {
    int First, Second;
    const char* Shown;
  };
  const Row rows[] = {
      {0x21, 0xC8, "immediate load|R1|C8|-N/A"},
      {0x40, 0x84, "move|R4|R8|-N/A"},  // destination first
      {0x6F, 0x12, "addf|RF|R1|R2"},
      {0x15, 0xA0, "direct load|R5|[A0]|-N/A"},
      {0x3E, 0x07, "direct store|RE|[07]|-N/A"},
      {0xA3, 0x07, "ror|R3|7|-N/A"},
      {0xB0, 0x10, "jmpEQ|R0|10|-N/A"},
      {0xD0, 0x3A, "indirect load|R3|[RA]|-N/A"},
      {0xE0, 0xA3, "indirect store|RA|[R3]|-N/A"},
      {0xF2, 0xFF, "jmpLE|R2|FF|-N/A"},
      {0xC0, 0x00, "halt|-N/A|-N/A|-N/A"},
      {0x00, 0x00, "invalid|-N/A|-N/A|-N/A"},
      {0x91, 0x23, "xor|R1|R2|R3"},
      // Cells loaded from a program file may hold more than a byte.
      {0x1F2, -1, "jmpLE|R2|FF|-N/A"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Shown);
    Poke(0x30, {row.First, row.Second});
    Open(0x30);
    EXPECT_EQ(Shown(), row.Shown);
    EXPECT_EQ(Dialog->InstrAddress(), 0x30);
  }
}

TEST_F(ComposerTest, ChoosingAnOperandOrOpcodeNormalisesTheWordAndOkWritesIt) {
  struct Row {
    int First, Second;
    int Box;  // 0 opcode, 1..3 op1..op3
    const char* Item;
    const char* Shown;
    int NewFirst, NewSecond;
  };
  const Row rows[] = {
      {0x40, 0x84, 1, "R2", "move|R2|R8|-N/A", 0x40, 0x82},
      {0x40, 0x84, 2, "RC", "move|R4|RC|-N/A", 0x40, 0xC4},
      {0x2A, 0x35, 0, "ror", "ror|RA|5|-N/A", 0xAA, 0x05},
      {0x2A, 0x35, 0, "halt", "halt|-N/A|-N/A|-N/A", 0xC0, 0x00},
      {0x2A, 0x35, 0, "move", "move|R5|R3|-N/A", 0x40, 0x35},
      {0x2A, 0x35, 0, "jmpLE", "jmpLE|RA|35|-N/A", 0xFA, 0x35},
      {0x2A, 0x35, 0, "addi", "addi|RA|R3|R5", 0x5A, 0x35},
      {0x6F, 0x12, 0, "invalid", "invalid|-N/A|-N/A|-N/A", 0x00, 0x00},
      {0x6F, 0x12, 0, "indirect store", "indirect store|R1|[R2]|-N/A", 0xE0, 0x12},
      {0x6F, 0x12, 3, "R9", "addf|RF|R1|R9", 0x6F, 0x19},
      {0x21, 0xC8, 2, "07", "immediate load|R1|07|-N/A", 0x21, 0x07},
      {0x15, 0xA0, 2, "[FF]", "direct load|R5|[FF]|-N/A", 0x15, 0xFF},
      {0xA3, 0x07, 2, "F", "ror|R3|F|-N/A", 0xA3, 0x0F},
      {0xD0, 0x3A, 2, "[R7]", "indirect load|R3|[R7]|-N/A", 0xD0, 0x37},
      {0xC0, 0x00, 0, "direct store", "direct store|R0|[00]|-N/A", 0x30, 0x00},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Shown);
    Poke(0x40, {row.First, row.Second, 0x77});
    Main->SetMemoryModified(false);
    Open(0x40);
    const std::array<QComboBox*, 4> boxes{Dialog->opcode, Dialog->op1, Dialog->op2, Dialog->op3};
    Choose(boxes[static_cast<size_t>(row.Box)], row.Item);
    EXPECT_EQ(Shown(), row.Shown);
    EXPECT_EQ(Dialog->InstrWord(), row.NewFirst * 256 + row.NewSecond);
    EXPECT_EQ(Main->MainMemory()->GetContents(0x40), row.First);  // nothing written before OK
    Click(Dialog->OkButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Dialog->result(), QDialog::Accepted);
    EXPECT_EQ(Main->MainMemory()->GetContents(0x40), row.NewFirst);
    EXPECT_EQ(Main->MainMemory()->GetContents(0x41), row.NewSecond);
    EXPECT_EQ(Main->MainMemory()->GetContents(0x42), 0x77);
  }
}

TEST_F(ComposerTest, OkMarksMemoryModifiedAndRewritesTheDisassemblyRow) {
  Poke(0x10, {0x21, 0xC8});
  Main->SetMemoryModified(false);
  const QString before = Main->DisasmWin()->RowText(8);
  Open(0x10);
  Choose(Dialog->opcode, "halt");
  Click(Dialog->OkButton);
  EXPECT_TRUE(Main->MemoryModified());
  EXPECT_EQ(Main->StatusModified()->text(), "Modified");
  EXPECT_NE(Main->DisasmWin()->RowText(8), before);
  EXPECT_TRUE(Main->DisasmWin()->RowText(8).contains("halt")) << Main->DisasmWin()->RowText(8).toStdString();
}

TEST_F(ComposerTest, AtFFTheSecondByteIsCellZero) {
  Poke(0xFE, {0x11, 0x21});
  Main->MainMemory()->SetContents(0x00, 0x35);
  Main->MainMemory()->SetContents(0x01, 0x44);
  Open(0xFF);
  EXPECT_EQ(Shown(), "immediate load|R1|35|-N/A");
  Click(Dialog->OkButton);
  EXPECT_EQ(Main->MainMemory()->GetContents(0xFF), 0x21);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x00), 0x35);

  Open(0xFF);
  Choose(Dialog->op1, "R9");
  Click(Dialog->OkButton);
  EXPECT_EQ(Main->MainMemory()->GetContents(0xFE), 0x11);
  EXPECT_EQ(Main->MainMemory()->GetContents(0xFF), 0x29);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x00), 0x35);
  EXPECT_EQ(Main->MainMemory()->GetContents(0x01), 0x44);
}

TEST_F(ComposerTest, CancelAndEscapeWriteNothing) {
  for (bool escape : {false, true}) {
    Poke(0x20, {0x2A, 0x35});
    Main->SetMemoryModified(false);
    std::vector<int> writes;
    const auto mainHandler = Main->MainMemory()->OnCellChanged;
    Main->MainMemory()->OnCellChanged = [&](THexGrid* grid, int adr, int32_t old, int32_t value) {
      writes.push_back(adr);
      mainHandler(grid, adr, old, value);
    };
    Open(0x20);
    Choose(Dialog->opcode, "halt");
    if (escape)
      QTest::keyClick(Dialog->opcode, Qt::Key_Escape);
    else
      Click(Dialog->CancelButton);
    EXPECT_FALSE(Dialog->isVisible());
    EXPECT_EQ(Dialog->result(), QDialog::Rejected);
    EXPECT_TRUE(writes.empty());
    EXPECT_EQ(Main->MainMemory()->GetContents(0x20), 0x2A);
    EXPECT_EQ(Main->MainMemory()->GetContents(0x21), 0x35);
    EXPECT_FALSE(Main->MemoryModified());
    Main->MainMemory()->OnCellChanged = mainHandler;
  }
}

TEST_F(ComposerTest, LooksAsTheUserKnowsIt) {
  Open(0);
  EXPECT_EQ(Dialog->windowTitle(), "Asseble Instruction");  // the described title, misspelt as it is
  EXPECT_EQ(Dialog->pos(), Main->frameGeometry().topLeft() + QPoint(150, 242));
  QStringList opcodes;
  for (int i = 0; i < Dialog->opcode->count(); ++i) opcodes << Dialog->opcode->itemText(i);
  EXPECT_EQ(opcodes.join(','),
            "invalid,direct load,immediate load,direct store,move,addi,addf,or,and,xor,ror,"
            "jmpEQ,halt,indirect load,indirect store,jmpLE");
  EXPECT_EQ(Dialog->opcode->maxVisibleItems(), 16);
  EXPECT_EQ(Dialog->opcode->toolTip(), "Choose Instruction");
  EXPECT_EQ(Dialog->op2->toolTip(), "operand");
  EXPECT_EQ(Dialog->OkButton->text(), "Ok");
  EXPECT_EQ(Dialog->CancelButton->text(), "Cancel");
  EXPECT_TRUE(Dialog->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
}

TEST_F(ComposerTest, ChoiceListsIndexEqualsValue) {
  struct Row {
    const QStringList& List;
    int Count;
    std::vector<std::pair<int, const char*>> Samples;
  };
  const Row rows[] = {
      {TAssembleDialog::RegisterChoices(), 16, {{0, "R0"}, {10, "RA"}, {15, "RF"}}},
      {TAssembleDialog::IndirectChoices(), 16, {{0, "[R0]"}, {12, "[RC]"}, {15, "[RF]"}}},
      {TAssembleDialog::ByteChoices(), 256, {{0, "00"}, {0x0A, "0A"}, {0xC8, "C8"}, {0xFF, "FF"}}},
      {TAssembleDialog::AddressChoices(), 256, {{0, "[00]"}, {0x7B, "[7B]"}, {0xFF, "[FF]"}}},
      {TAssembleDialog::NibbleChoices(), 16, {{0, "0"}, {9, "9"}, {15, "F"}}},
      {TAssembleDialog::NotApplicableChoices(), 1, {{0, "N/A"}}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(row.List.size(), row.Count);
    for (const auto& [index, text] : row.Samples) EXPECT_EQ(row.List.value(index), text);
  }
}

TEST_F(ComposerTest, F1AsksForTheFocusedControlsHelp) {
  Poke(0x00, {0x6F, 0x12});  // all three operand boxes in use
  Open(0);
  struct Row {
    QWidget* Control;
    int Context;
  };
  const Row rows[] = {{Dialog->opcode, 101},
                      {Dialog->op1, 102},
                      {Dialog->op3, 104},
                      {Dialog->OkButton, 9999},
                      {Dialog->CancelButton, 9999}};
  for (const Row& row : rows) {
    row.Control->setFocus();
    ASSERT_EQ(Dialog->focusWidget(), row.Control);
    QTest::keyClick(row.Control, Qt::Key_F1);
    ASSERT_FALSE(FPlatform.HelpTopics.isEmpty());
    EXPECT_EQ(FPlatform.HelpTopics.last(), row.Context);
  }
  EXPECT_EQ(FPlatform.HelpTopics.size(), 5);
}

TEST_F(ComposerTest, TheHelpButtonMakesTheNextClickAskForThatControlsHelp) {
  Poke(0x00, {0x21, 0xC8});
  Open(0);
  struct Row {
    QWidget* Control;
    int Context;
  };
  // op3 shows a disabled "N/A" and still answers.
  const Row rows[] = {{Dialog->opcode, 101}, {Dialog->op2, 103}, {Dialog->op3, 104}, {Dialog->OkButton, 9999}};
  bool toApplication = false;
  for (const Row& row : rows) {
    // The help window of the previous pick took the activation; the user
    // clicks the dialog's caption button, so the dialog is active again.
    THelpDialog::CloseAll();
    QApplication::setActiveWindow(Dialog.get());
    // The platform posts the button's request to the application; a window
    // may receive it too.
    QEvent enter(QEvent::EnterWhatsThisMode);
    toApplication = !toApplication;
    if (toApplication) {
      QApplication::postEvent(qApp, new QEvent(QEvent::EnterWhatsThisMode));
      QApplication::processEvents();
    } else {
      QApplication::sendEvent(Dialog.get(), &enter);
    }
    QTest::mouseClick(row.Control, Qt::LeftButton);
    ASSERT_FALSE(FPlatform.HelpTopics.isEmpty());
    EXPECT_EQ(FPlatform.HelpTopics.last(), row.Context);
  }
  // The picking clicks did nothing else: OK was not pressed, no list opened.
  EXPECT_TRUE(Dialog->isVisible());
  EXPECT_FALSE(Dialog->opcode->view()->isVisible());
  // After one pick a click is an ordinary click again.
  const int asked = static_cast<int>(FPlatform.HelpTopics.size());
  Click(Dialog->CancelButton);
  EXPECT_EQ(FPlatform.HelpTopics.size(), asked);
  EXPECT_FALSE(Dialog->isVisible());
}

}  // namespace

namespace {

// Every item a box can show fits its closed box: a cut "immediate lo" or
// "indirect sto" leaves the student guessing which instruction is chosen.
TEST_F(ComposerTest, EveryChoiceFitsItsClosedBox) {
  Open(0);
  const std::pair<QComboBox*, QStringList> boxes[] = {
      {Dialog->opcode, {}},
      {Dialog->op1, TAssembleDialog::RegisterChoices()},
      {Dialog->op2, TAssembleDialog::AddressChoices() + TAssembleDialog::IndirectChoices()},
      {Dialog->op3, TAssembleDialog::RegisterChoices() + TAssembleDialog::NotApplicableChoices()},
  };
  for (const auto& [box, extra] : boxes) {
    QStringList items = extra;
    for (int i = 0; i < box->count(); ++i) items << box->itemText(i);
    QStyleOptionComboBox option;
    option.initFrom(box);
    option.frame = true;
    const QRect field = box->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, box);
    for (const QString& item : items)
      // The label is drawn inside the field with a pixel to spare on either side.
      EXPECT_LE(box->fontMetrics().horizontalAdvance(item) + 2, field.width() - 2) << item.toStdString();
    EXPECT_TRUE(Dialog->rect().contains(box->geometry())) << box->geometry().x() << "+" << box->geometry().width();
  }
}

}  // namespace

namespace {

// The composer knows its host only by what it reads and the one edit it
// makes: any window can be its host.
class TRecordingHost final : public TComposerHost {
 public:
  QWidget* HostWindow() override { return &Window; }
  int MemoryCell(int address) const override { return Cells.at(static_cast<size_t>(address)); }
  void WriteInstruction(int address, uint16_t word) override { Writes.emplace_back(address, word); }

  QWidget Window;
  std::array<int, 256> Cells{};
  std::vector<std::pair<int, uint16_t>> Writes;
};

TEST(ComposerHost, ReadsTwoCellsAndWritesTheComposedWordOnceOnOk) {
  struct Row {
    int Address;
    int First, Second;  // the cells at Address and the next address
    const char* Opcode;
    uint16_t Written;
  };
  const Row rows[] = {
      {0x40, 0x21, 0xC8, "halt", 0xC000},
      {0xFF, 0x40, 0x84, "addf", 0x6084},  // the second cell is cell 0
      {0x10, 0x1F2, 0x3A, "xor", 0x923A},  // only the low byte of a wide cell
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Opcode);
    TRecordingHost host;
    host.Cells[static_cast<size_t>(row.Address)] = row.First;
    host.Cells[static_cast<size_t>((row.Address + 1) & 0xFF)] = row.Second;
    TAssembleDialog dialog(host);
    dialog.SetAddress(row.Address);
    dialog.opcode->setCurrentIndex(dialog.opcode->findText(row.Opcode));
    EXPECT_TRUE(host.Writes.empty()) << "nothing written before OK";
    dialog.OkButton->click();
    ASSERT_EQ(host.Writes.size(), 1u);
    EXPECT_EQ(host.Writes[0].first, row.Address);
    EXPECT_EQ(host.Writes[0].second, row.Written);
  }
}

}  // namespace
