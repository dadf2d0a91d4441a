#pragma once
// Tests of a program dialog that takes its values in and hands them back through one record,
// m_data: Run shows it on the record with the steps and copies the record back after OK.

#include "tests/dialogs/DialogFixture.h"

#include <functional>

template <class Dialog> class DataDialogTest : public DialogFixture
{
protected:
    using Data = decltype(Dialog::m_data);

    bool Run(Data& data, std::function<void(QDialog*)> steps)
    {
        Dialog dialog;
        dialog.m_data = data;
        OnDialog(std::move(steps));
        const bool ok = dialog.DoModal() == QDialog::Accepted;
        if (ok)
            data = dialog.m_data;
        return ok;
    }
};
