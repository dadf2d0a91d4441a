#pragma once
// Turret table dialog ("タレットテーブル"): shape, outer and inner size of the turrets 1 to 120
// beside the number of lines, arcs, surfaces, lands and texts using each, the default turrets of
// new lines and lands, and the current turret.

#include "dialogs/NumberedTableDialog.h"
#include "model/services/Records.h"

#include <QFont>

#include <array>

class CSpinButton;
class QLineEdit;

class CDlgTurretTable : public CNumberedTableDialog
{
    Q_OBJECT
public:
    enum
    {
        IDD = 141,
        IdGrid = 1003,
        IdLine = 1122,
        IdLand = 1123,
        IdLineSpin = 1124,
        IdLandSpin = 1125
    };
    static constexpr int kRows = 120;
    enum UsageKind
    {
        UseLines,
        UseArcs,
        UseSurfaces,
        UseLands,
        UseTexts,
        UseKinds
    };

    explicit CDlgTurretTable(QWidget* parent = nullptr);

    std::array<tagTURRET, TURRET_MAX + 1> m_turrets{};
    std::array<std::array<int, UseKinds>, TURRET_MAX + 1> m_usage{};
    int m_nLineTurret = 0;
    int m_nLandTurret = 0;

    // Shape names of the type column (CP932), by shape code.
    static const std::string& ShapeName(int shape);
    // Donuts and thermals keep an inner size below the outer one (half the outer otherwise); the
    // other shapes have none.
    static void Normalise(tagTURRET& turret);

    void accept() override;

protected:
    void OnInitDialog() override;
    bool DoDataExchange(bool save) override;
    void CellText(int id, int row, std::string& out) override;
    int CellRequest(LXHDREX* request) override;

private:
    QLineEdit* m_line;
    QLineEdit* m_land;
    CSpinButton* m_lineSpin = nullptr;
    CSpinButton* m_landSpin = nullptr;
    QFont m_typeFont;
};
