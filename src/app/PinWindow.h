// The pairing prompt: who wants to connect, an Allow button (also Return), and the PIN to type on
// the phone instead. It floats above other windows and is not modal; closing it only hides it.
#pragma once

#include <QDialog>
#include <QString>
#include <chrono>

class QFont;
class QLabel;
class QPushButton;

namespace velora {

class PinWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 400;
    static constexpr int kHeight = 290;
    static constexpr int kTextWidth = 364;

    // Allow (and Return) works only once the window has been up for `allowAfter`, so that a press
    // meant for a prompt that has just been replaced cannot approve the phone behind it.
    PinWindow(const QString& name, const QString& ip, const QString& pin,
              std::chrono::milliseconds allowAfter);

    QPushButton* allowButton() const { return allow_; }

signals:
    void allowed();

private:
    QLabel* label(const QString& text, int pointSize = 0, bool bold = false);

    QPushButton* allow_ = nullptr;
};

// `text` broken into lines no wider than `width` in `font`: at word boundaries where possible,
// anywhere inside a word that is too long for one line.
QString wrapText(const QString& text, const QFont& font, int width);

}  // namespace velora
