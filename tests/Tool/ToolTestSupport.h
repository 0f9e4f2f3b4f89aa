// Shared by the tool's tests: one QApplication on the offscreen platform, a
// private settings directory per test, and raster helpers.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <memory>

#include "Tool/Form3.h"
#include "tests/Tool/FakeDialogUi.h"

// Every test gets an empty $XDG_CONFIG_HOME and $XDG_DATA_HOME, a scratch
// directory standing in for the tool's program directory, and a window on a
// fake person.
class ToolTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The window as the tool starts it: constructed, then loaded.
    Form3& StartForm();
    // Constructed only, before any settings were read.
    Form3& NewForm();

    QString SettingsPath() const;
    QString ReadSettingsFile() const;
    void WriteSettingsFile(const QString& text) const;
    QString Scratch(const QString& name) const { return scratch_.filePath(name); }
    QString ProgramDir() const { return programDir_.path(); }
    QString DataHome() const { return data_.path(); }

    FakeDialogUi ui;
    std::unique_ptr<Form3> form;

private:
    QTemporaryDir config_;
    QTemporaryDir data_;
    QTemporaryDir scratch_;
    QTemporaryDir programDir_;
};

// The tip showing, as a person reads it: rich text rendered, plain as it is.
QString ShownTip();

// Writes `image` as the tool writes bitmaps.
void WriteBitmap(const QImage& image, const QString& path);

// How many pixels of `image` have exactly `color` (alpha ignored).
int CountPixels(const QImage& image, const QColor& color);
// True when every pixel of `image` is black or exactly `color`.
bool OnlyBlackAnd(const QImage& image, const QColor& color);
