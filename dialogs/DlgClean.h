#pragma once
// Duplicate clean-up ("重複整理"): the layers to tidy, what to delete, and the resist and
// metal-mask checks of the parts. The view, resist and metal choices persist in the profile
// section "CleanSection"; the caller fills m_data and reads it back after OK.

#include "document/OutputSettings.h"
#include "libui/ItemDialog.h"

class CRadioGroup;
class QCheckBox;

class CDlgClean : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 184,
        IdAllLayers = 1176,
        IdWiringLayers = 1177,
        IdShownLayers = 1354,
        IdWriteLayer = 1353,
        IdOutside = 1347,
        IdSurface = 1348,
        IdHole = 1350,
        IdPartDup = 1351,
        IdLine = 1349,
        IdView = 1289,
        IdResist = 1352,
        IdMetal = 1355
    };

    explicit CDlgClean(QWidget* parent = nullptr);

    CleanUpChoice m_data;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    CRadioGroup* m_target;
    QCheckBox* m_outside;
    QCheckBox* m_surface;
    QCheckBox* m_hole;
    QCheckBox* m_partDup;
    QCheckBox* m_line;
    QCheckBox* m_view;
    QCheckBox* m_resist;
    QCheckBox* m_metal;
};
