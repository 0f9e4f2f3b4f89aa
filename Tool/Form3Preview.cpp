// The preview and colour buttons.
#include <QDir>

#include "Platform/Win32/Win32.h"
#include "Tool/Form3.h"
#include "Tool/PenColor.h"

void Form3::StartPreview() {
    // The screensaver lies beside the tool; it runs detached in saver mode
    // and shows what was last saved, not the window's unsaved state. Qt
    // windows have no handle of the Win32 stand-in, so no owner is given.
    const QByteArray directory = QDir::toNativeSeparators(programDirectory_).toLocal8Bit();
    ShellExecuteA(nullptr, "open", "vantel", "/s", directory.constData(), SW_SHOWNORMAL);
}

void Form3::ChooseColor() {
    CommonDialog3.Color = penColor;
    CommonDialog3.Flags = CC_RGBINIT;
    CommonDialog3.ShowColor();
    penColor = CommonDialog3.Color;
    Picture2->SetBackColor(PenColorToQColor(penColor));
}
