#pragma once
// Part file registration ("部品ファイル登録"): the registered part library file the selected parts
// go into and the name they are registered under ("***": each part under its own name).

#include "libui/ItemDialog.h"

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;

class CDlgPartRegist : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 165,
        IdName = 1073,
        IdFile = 1169,
        IdIndividual = 1270
    };

    explicit CDlgPartRegist(QWidget* parent = nullptr);

    std::string m_strPartName;    // CP932
    std::string m_strLibraryFile; // CP932
    int m_bIndividual = 0;        // in: the parts may be registered each under its own name

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    void OnIndividual();

    QLineEdit* m_name;
    QComboBox* m_file;
    QCheckBox* m_individual;
};
