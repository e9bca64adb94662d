#include "controls/ShowText.h"

#include "controls/AccessEvents.h"
#include "machine/ValueReadings.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <cstdlib>

TShowText::TShowText(QWidget* parent) : QFrame(parent) {
  setFrameStyle(QFrame::Panel | QFrame::Sunken);
  setLineWidth(2);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::ArrowCursor);
  setContextMenuPolicy(Qt::NoContextMenu);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // "Terminal" does not exist outside Windows; DejaVu Sans Mono is the
  // fixed-pitch face every Linux desktop has.
  QFont terminal(QStringLiteral("DejaVu Sans Mono"), 10);
  terminal.setStyleHint(QFont::TypeWriter);
  terminal.setFixedPitch(true);
  setFont(terminal);
  resize(169, 57);
}

QChar TShowText::DisplayChar(unsigned char ch) { return QChar(static_cast<char16_t>(DisplayCodePoint(ch))); }

int TShowText::PixelSizeForLineHeight(const QFont& font, int lineHeight) {
  QFont probe = font;
  int best = 1;
  int bestDistance = -1;
  for (int size = 1; size <= 2 * lineHeight; ++size) {
    probe.setPixelSize(size);
    const int distance = std::abs(QFontMetrics(probe).height() - lineHeight);
    if (bestDistance < 0 || distance <= bestDistance) {
      best = size;
      bestDistance = distance;
    }
  }
  return best;
}

void TShowText::CalcWinSize() {
  const QFontMetrics metrics(font());
  FCharWidth = std::max(metrics.horizontalAdvance(QLatin1Char('x')), 1);
  FCharHeight = std::max(metrics.height(), 1);
  FAscent = metrics.ascent();
  const QRect client = contentsRect();
  FCols = client.width() / FCharWidth;
  FRows = client.height() / FCharHeight;
  FLastFontHeight = FCharHeight;
  FLastHeight = height();
  FLastWidth = width();
  FFontDirty = false;
  // Lines that no longer fit go now, before the next byte is shown; an area
  // smaller than one character counts as one row of one column.
  FModel->SetSize(FCols, FRows);
}

void TShowText::Restore(const TTerminalModel& base, std::string_view bytes) {
  *FModel = base;
  // The base may have been taken at another size; CalcWinSize fits it to
  // this one before the bytes are written, as it would for new output.
  CalcWinSize();
  for (char ch : bytes) FModel->Write(static_cast<unsigned char>(ch));
  RequestRepaint();
}

void TShowText::SetModel(TTerminalModel* model) {
  FModel = model ? model : &FOwnModel;
  CalcWinSize();
  RequestRepaint();
}

void TShowText::Fit() {
  if (FFontDirty || FLastHeight != height() || FLastWidth != width()) CalcWinSize();
}

void TShowText::Write(char ch) {
  Fit();
  FModel->Write(static_cast<unsigned char>(ch));
  Wrote(std::string_view(&ch, 1));
}

void TShowText::Wrote(std::string_view bytes) {
  if (bytes.empty()) return;
  RequestRepaint();
  if (FAnnounceWrites && TAccessEvents::Listening()) {
    QString text;
    for (char ch : bytes) text += DisplayChar(static_cast<unsigned char>(ch));
    QAccessibleTextInsertEvent event(this, static_cast<int>(ReadableText().size()), text);
    TAccessEvents::Send(&event);
  }
}

void TShowText::Redrawn() {
  Fit();
  RequestRepaint();
}

void TShowText::Write(const char* text) {
  for (; *text; ++text) Write(*text);
}

QString TShowText::VisibleText() const {
  QStringList lines = Lines();
  for (QString& line : lines) {
    qsizetype end = line.size();
    while (end > 0 && line[end - 1] == QLatin1Char(' ')) --end;
    line.truncate(end);
  }
  return lines.join(QLatin1Char('\n'));
}

void TShowText::SetContextMenu(QMenu* menu) {
  FContextMenu = menu;
  setContextMenuPolicy(menu ? Qt::DefaultContextMenu : Qt::NoContextMenu);
}

QStringList TShowText::Lines() const {
  QStringList result;
  for (const std::string& line : FModel->Lines()) {
    QString text(static_cast<qsizetype>(line.size()), QChar());
    for (size_t i = 0; i < line.size(); ++i)
      text[static_cast<qsizetype>(i)] = DisplayChar(static_cast<unsigned char>(line[i]));
    result.push_back(text);
  }
  return result;
}

void TShowText::RequestRepaint() {
  if (FRepaintPending) return;
  FRepaintPending = true;
  update();
}

void TShowText::showEvent(QShowEvent* e) {
  // Updates asked for while hidden were dropped; showing paints everything.
  FRepaintPending = false;
  QFrame::showEvent(e);
}

void TShowText::paintEvent(QPaintEvent* e) {
  FRepaintPending = false;
  // A zoom or another font (or size) is drawn at once with its own cell
  // size, not with the old one until the next byte comes.
  Fit();
  QPainter painter(this);
  const QRect client = contentsRect();
  painter.fillRect(client, FColor);
  painter.setClipRect(client.intersected(e->rect()));
  painter.setFont(font());
  painter.setPen(FFontColor);
  // Character by character, so that no glyph of a control code or a missing
  // character can shift the columns after it.
  const std::vector<std::string>& lines = FModel->Lines();
  for (size_t row = 0; row < lines.size(); ++row) {
    const int baseline = client.top() + static_cast<int>(row) * FCharHeight + FAscent;
    if (baseline - FAscent > client.bottom()) break;
    const std::string& line = lines[row];
    for (size_t col = 0; col < line.size(); ++col) {
      const unsigned char ch = static_cast<unsigned char>(line[col]);
      if (ch == ' ') continue;
      painter.drawText(QPoint(client.left() + static_cast<int>(col) * FCharWidth, baseline), QString(DisplayChar(ch)));
    }
  }
  painter.setClipping(false);
  drawFrame(&painter);
}

void TShowText::changeEvent(QEvent* e) {
  if (e->type() == QEvent::FontChange && !FForcingFixedPitch) {
    FFontDirty = true;
    if (!QFontInfo(font()).fixedPitch()) {
      // The terminal is always fixed-pitch: a proportional face is replaced
      // by a fixed face of the same size and weight. DejaVu Sans Mono comes
      // first, since the program depends on it; the system's fixed face may
      // be one (Noto Sans Mono) that fontconfig does not mark as fixed.
      QFont fixed = font();
      fixed.setFamily(QStringLiteral("DejaVu Sans Mono"));
      fixed.setStyleHint(QFont::TypeWriter);
      fixed.setFixedPitch(true);
      if (!QFontInfo(fixed).fixedPitch()) fixed.setFamily(QFontDatabase::systemFont(QFontDatabase::FixedFont).family());
      FForcingFixedPitch = true;
      setFont(fixed);
      FForcingFixedPitch = false;
    }
    update();
  }
  QFrame::changeEvent(e);
}

void TShowText::SetColor(const QColor& value) {
  FColor = value;
  update();
}

void TShowText::SetFontColor(const QColor& value) {
  FFontColor = value;
  update();
}

// Mouse buttons do nothing in the terminal but open its menu: no caret, no
// selection.
void TShowText::mousePressEvent(QMouseEvent* e) { e->accept(); }
void TShowText::mouseReleaseEvent(QMouseEvent* e) { e->accept(); }
void TShowText::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }
void TShowText::contextMenuEvent(QContextMenuEvent* e) {
  e->accept();
  // popup, not exec: a run goes on writing while the menu is open.
  if (FContextMenu) FContextMenu->popup(e->globalPos());
}

QString TShowText::ReadableText() const {
  QStringList lines = Lines();
  for (QString& line : lines) {
    qsizetype end = line.size();
    while (end > 0 && line.at(end - 1) == QLatin1Char(' ')) --end;
    line.truncate(end);
  }
  while (!lines.isEmpty() && lines.constLast().isEmpty()) lines.removeLast();
  return lines.join(QLatin1Char('\n'));
}
