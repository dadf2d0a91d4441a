#pragma once
// Runs the model's edit operations with the Qt item dialogs installed and drives the dialog they
// open: OnDialog schedules the steps for the modal dialog (found from a zero timer); a dialog the
// steps leave open is noted in stayedOpen and cancelled so that the operation returns. Messages are
// recorded and answered from a queue; the profile lives in memory. With VELTA_DIALOG_SHOTS set to a
// folder, Shot saves the dialog as a PNG there.

#include "libui/DialogBuilder.h"
#include "libui/QtItemDialogs.h"
#include "model/services/ItemDialogs.h"
#include "platform/Messages.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

class ItemDialogFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        platform::SetProfile(&profile);
        platform::SetMessageService(&messages);
        m_previous = GetItemDialogs();
        SetItemDialogs(&dialogs);
    }
    void TearDown() override
    {
        SetItemDialogs(m_previous);
        platform::SetMessageService(nullptr);
        platform::SetProfile(nullptr);
    }

    void OnDialog(std::function<void(QDialog*)> steps)
    {
        stayedOpen = false;
        opened = false;
        QTimer::singleShot(0, [this, steps] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            opened = true;
            steps(dialog);
            if (dialog->isVisible()) {
                stayedOpen = true;
                dialog->reject();
            }
        });
    }

    static QLineEdit* Edit(QWidget* dialog, int id) { return FindControl<QLineEdit>(dialog, id); }
    static QString Text(QWidget* dialog, int id) { return Edit(dialog, id)->text(); }
    // Replaces the field's text by typing.
    static void Type(QWidget* dialog, int id, const QString& text)
    {
        QLineEdit* edit = Edit(dialog, id);
        edit->setFocus();
        edit->selectAll();
        if (text.isEmpty())
            QTest::keyClick(edit, Qt::Key_Delete);
        for (QChar c : text) {
            if (c.unicode() < 0x80) {
                QTest::keyClick(edit, c.toLatin1());
                continue;
            }
            // Characters without a key of their own arrive as text, as an input method commits them.
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
        }
    }
    // Clicks a button where its caption starts (a wide check box takes clicks only on its caption).
    static void Click(QWidget* dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(dialog, id);
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier,
                          QPoint(std::min(10, button->width() / 2), button->height() / 2));
    }
    static void Ok(QWidget* dialog) { Click(dialog, CDialogBuilder::IdOk); }
    static Qt::CheckState State(QWidget* dialog, int id)
    {
        auto* button = FindControl<QAbstractButton>(dialog, id);
        auto* check = qobject_cast<QCheckBox*>(button);
        if (check)
            return check->checkState();
        return button->isChecked() ? Qt::Checked : Qt::Unchecked;
    }
    static bool Enabled(QWidget* dialog, int id) { return FindControl(dialog, id)->isEnabled(); }
    static void Shot(QWidget* dialog, const char* name)
    {
        const char* folder = std::getenv("VELTA_DIALOG_SHOTS");
        if (folder && *folder)
            dialog->grab().save(QString::fromLocal8Bit(folder) + "/" + name + ".png");
    }
    // The texts of the boxes shown, for display.
    QString LastMessage() const
    {
        return messages.Count() ? platform::Cp932ToQString(messages.Last().text) : QString();
    }

    platform::MemoryProfile profile;
    platform::RecordingMessages messages;
    QtItemDialogs dialogs;
    bool stayedOpen = false;
    bool opened = false;

private:
    ItemDialogs* m_previous = nullptr;
};
