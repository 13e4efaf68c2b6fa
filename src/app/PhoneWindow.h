// The window behind "Connect a phone…": the QR code of the phone page's address, the address as
// selectable text, what kind of address it is, what to do with it, and every other address the
// page answers at. Not modal; it goes away when closed.
#pragma once

#include <QDialog>
#include <QImage>

#include "core/shell/PhoneLink.h"
#include "core/shell/QrCode.h"

class QLabel;

namespace velora {

class PhoneWindow : public QDialog {
    Q_OBJECT

public:
    static constexpr int kTextWidth = 340;
    // Logical pixels per module; on screens with a scale factor each module still covers whole
    // device pixels.
    static constexpr int kModulePixels = 6;

    explicit PhoneWindow(const PhoneLink& link);

private:
    QLabel* label(const QString& text, const char* name);
    QLabel* codeLabel(const QString& url);
};

// The code black on white with its quiet zone, each module `scale` pixels square.
QImage qrImage(const QrCode& code, int scale);

}  // namespace velora
