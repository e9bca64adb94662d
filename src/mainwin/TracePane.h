#pragma once

#include <QWidget>

class QPlainTextEdit;

// The "Trace" window: one line in plain words for every instruction shown
// step by step, the newest at the bottom. It keeps the last MaxLines lines;
// the text can be selected and copied.
class TTracePane : public QWidget {
  Q_OBJECT

 public:
  static constexpr int MaxLines = 1000;

  explicit TTracePane(QWidget* parent = nullptr);

  void AddLine(const QString& line);
  void Clear();
  QStringList Lines() const;
  QPlainTextEdit* Text() const { return FText; }

 Q_SIGNALS:
  void Closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QPlainTextEdit* FText;
};
