#pragma once
// Part list output ("部品表作成"): which of the part list, placement list and bill of materials
// files to write, the output folder below the board's folder, the placement origins of both sides
// and the placement list's options. The caller fills m_data and reads it back after OK.

#include "document/OutputSettings.h"
#include "libui/ItemDialog.h"

class CFolderCombo;
class CNumEdit;
class QCheckBox;

class CDlgPartList : public CItemDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 183,
        IdOutputFolder = 1345,
        IdPartOriginX = 1335,
        IdPartOriginY = 1336,
        IdSolderOriginX = 1337,
        IdSolderOriginY = 1334,
        IdView = 1289,
        IdPartList = 1284,
        IdPlace = 1288,
        IdBySide = 1287,
        IdMirrorX = 1338,
        IdMirrorY = 1339,
        IdUnplaced = 1354,
        IdCardEdge = 1291,
        IdNonCircuit = 1290,
        IdBom = 1285,
        IdCheckAngle = 1292
    };

    explicit CDlgPartList(QWidget* parent = nullptr);

    PartListChoice m_data;

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;

private:
    // The origins and the placement options follow "配置座標(&L)".
    void EnablePlacement();

    CFolderCombo* m_folder;
    CNumEdit* m_origins[4];
    QCheckBox* m_view;
    QCheckBox* m_partList;
    QCheckBox* m_place;
    QCheckBox* m_bySide;
    QCheckBox* m_mirrorX;
    QCheckBox* m_mirrorY;
    QCheckBox* m_unplaced;
    QCheckBox* m_cardEdge;
    QCheckBox* m_nonCircuit;
    QCheckBox* m_bom;
    QCheckBox* m_checkAngle;
};
