#include "dialogs/DlgPrint.h"

#include "dialogs/DlgLayerPattern.h"
#include "document/OutputSettings.h"
#include "document/SettingSections.h"
#include "libui/CheckListBox.h"
#include "libui/NumEdit.h"
#include "libui/NumSpinCtrl.h"
#include "libui/RadioGroup.h"
#include "libui/SpinButton.h"
#include "platform/Profile.h"
#include "platform/qt/QtText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <cstdlib>

namespace {

using settings::AfterFirstColon;
using settings::TrimLeft;

// A whole number typed into a field, or the fallback.
int FieldInt(const QLineEdit* field, int fallback)
{
    bool ok = false;
    const int value = field->text().trimmed().toInt(&ok);
    return ok ? value : fallback;
}

} // namespace

CDlgPrint::CDlgPrint(QWidget* parent) : CItemDialog(IDD, QString::fromUtf8("印刷"), parent)
{
    CDialogBuilder& b = Builder();
    m_list = b.Add(IdList, new CCheckListBox(this), 0, 0, 6, 2);
    QFont font(QString::fromUtf8("IPAGothic"));
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(12);
    m_list->setFont(font);
    m_list->setMinimumSize(320, 160);
    m_mode = new CRadioGroup(this);
    m_mode->Add(b.Radio(nullptr, IdImageMode, QString::fromUtf8("表示イメージを印刷(&D)"), 6, 0), 0);
    m_mode->Add(b.Radio(nullptr, IdListMode, QString::fromUtf8("リストで印刷(&L)"), 6, 1), 1);
    QPushButton* pattern = b.Button(IdPattern, QString::fromUtf8("パターン(&T)"), 7, 1);
    pattern->setAutoDefault(false);

    QGridLayout* paper = AddGroup(QString::fromUtf8("用紙"), 0, 2, 2, 1);
    Put(paper, b.Label(QString::fromUtf8("サイズ(&Z)"), -1, 0), 0, 0);
    m_paper = Put(paper, b.Add(IdPaper, new QComboBox(this), -1, 0), 0, 1, 1, 2);
    for (int i = 0; i < kPapersListed; ++i)
        m_paper->addItem(platform::Cp932ToQString(GetPaperName(i)), GetPaperCode(i));
    m_orientation = new CRadioGroup(this);
    m_orientation->Add(Put(paper, b.Radio(nullptr, IdLandscape, QString::fromUtf8("横(&N)"), -1, 0), 1, 1),
                       0);
    m_orientation->Add(Put(paper, b.Radio(nullptr, IdPortrait, QString::fromUtf8("縦(&R)"), -1, 0), 1, 2), 1);

    QGridLayout* place = AddGroup(QString::fromUtf8("位置と倍率"), 2, 2, 2, 1);
    Put(place, b.Label(QString::fromUtf8("上下(&Y)"), -1, 0), 0, 0);
    m_vertical = AddIntField(place, IdVertical, IdVerticalSpin, m_verticalSpin, 0, 1);
    Put(place, b.Label(QString::fromUtf8("左右(&X)"), -1, 0), 1, 0);
    m_horizontal = AddIntField(place, IdHorizontal, IdHorizontalSpin, m_horizontalSpin, 1, 1);
    Put(place, b.Label(QString::fromUtf8("倍率(&S)"), -1, 0), 2, 0);
    m_scale = AddNumField(place, IdScale, IdScaleSpin, m_scaleSpin, 2, 1);
    for (QLineEdit* field : {static_cast<QLineEdit*>(m_vertical), static_cast<QLineEdit*>(m_horizontal)})
        field->setValidator(nullptr);
    NoInputMethod(m_scale);

    QGridLayout* look = AddGroup(QString::fromUtf8("印刷方法"), 4, 2, 4, 1);
    m_color = Put(look, b.Check(IdColor, QString::fromUtf8("カラー印刷をする(&C)"), -1, 0), 0, 0, 1, 2);
    Put(look, b.Label(QString::fromUtf8("白色の場合のグレイ値(&W)"), -1, 0), 1, 0, 1, 2);
    m_grey = Put(look, b.Add(IdGrey, new QLineEdit(this), -1, 0), 2, 0);
    m_grey->setFixedWidth(48);
    NoInputMethod(m_grey);
    m_slider = Put(look, b.Add(IdGreySlider, new QSlider(Qt::Horizontal, this), -1, 0), 2, 1);
    m_mirror = Put(look, b.Check(IdMirror, QString::fromUtf8("ミラー(&M)"), -1, 0), 3, 0);
    m_grid = Put(look, b.Check(IdGrid, QString::fromUtf8("グリッド(&G)"), -1, 0), 3, 1);
    m_fillAll = Put(look, b.Check(IdFillAll, QString::fromUtf8("全部ベタ(A)"), -1, 0), 4, 0);
    m_fillWide = Put(look, b.Check(IdFillWide, QString::fromUtf8("幅ありをベタ(I)"), -1, 0), 4, 1);
    m_reverse = Put(look, b.Check(IdReverse, QString::fromUtf8("逆順印刷(&V)"), -1, 0), 5, 0, 1, 2);
    b.OkCancel(0, 3);

    for (int id : {IdColor, IdImageMode, IdListMode, IdFillAll, IdFillWide})
        ExchangeOnClick(FindControl<QAbstractButton>(this, id));
    connect(m_list, &CCheckListBox::checkChanged, this, [this] { UpdateData(true); });
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) {
        if (!m_bShowing)
            m_grey->setText(QString::number(value));
    });
    connect(pattern, &QPushButton::clicked, this, &CDlgPrint::OnPattern);
}

std::string CDlgPrint::GetPaperName(int index)
{
    return ::GetPaperName(index);
}

int CDlgPrint::GetPaperCode(int index)
{
    return ::GetPaperCode(index);
}

void CDlgPrint::OnInitDialog()
{
    m_scaleSpin->SetRange(0.1, 10.0);
    m_scaleSpin->SetStep(0.5);
    m_slider->setRange(0, 255);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setTickInterval(32);
    m_slider->setPageStep(32);
    m_slider->setSingleStep(1);
    m_slider->setValue(m_nGrey);
    m_verticalSpin->SetRange(-1000, 1000);
    m_horizontalSpin->SetRange(-1000, 1000);
    if (m_bPreview)
        FindControl<QPushButton>(this, CDialogBuilder::IdOk)->setText(QString::fromUtf8("プレビュー(&P)"));
    else
        FindControl<QPushButton>(this, CDialogBuilder::IdOk)->setText(QString::fromUtf8("印刷(&P)"));
    const platform::Profile& profile = platform::GetProfile();
    const int paint = profile.GetInt("Printer", "Paint", 0);
    m_bFillWide = paint == 1;
    m_bFillAll = paint == 2;
    m_bReverse = profile.GetInt("Printer", "Reverse", 0) != 0;
    UpdateData(false);
}

bool CDlgPrint::DoDataExchange(bool save)
{
    if (save) {
        for (int row = 0; row < m_list->count() && row < static_cast<int>(m_printList.size()); ++row) {
            std::string& entry = m_printList[static_cast<std::size_t>(row)];
            entry = (m_list->GetCheck(row) ? "1 : " : "0 : ") + TrimLeft(AfterFirstColon(entry));
        }
        m_nMode = std::max(0, m_mode->Get());
        m_nPaper = m_paper->currentIndex() >= 0 ? m_paper->currentIndex() : m_nPaper;
        m_nOrientation = std::max(0, m_orientation->Get());
        m_nVertical = FieldInt(m_vertical, m_nVertical);
        m_nHorizontal = FieldInt(m_horizontal, m_nHorizontal);
        bool valid = false;
        const double scale = m_scale->GetValue(&valid);
        if (valid)
            m_dScale = scale;
        m_bColor = m_color->isChecked();
        const int grey = FieldInt(m_grey, m_slider->value());
        m_nGrey = grey >= 0 && grey <= 255 ? grey : m_slider->value();
        m_bMirror = m_mirror->isChecked();
        m_bGrid = m_grid->isChecked();
        m_bFillAll = m_fillAll->isChecked();
        m_bFillWide = m_fillWide->isChecked();
        m_bReverse = m_reverse->isChecked();
    } else {
        m_bShowing = true;
        m_list->clear();
        for (const std::string& entry : m_printList)
            m_list->AddRow(platform::Cp932ToQString(settings::Trim(AfterFirstColon(entry))), 0,
                           !entry.empty() && entry.front() == '1' ? 1 : 0);
        m_list->setMinimumWidth(std::min(640, m_list->WidestRowWidth() + 15));
        m_mode->Set(m_nMode);
        m_paper->setCurrentIndex(m_nPaper >= 0 && m_nPaper < kPapersListed ? m_nPaper : -1);
        m_orientation->Set(m_nOrientation);
        m_vertical->setText(QString::number(m_nVertical));
        m_horizontal->setText(QString::number(m_nHorizontal));
        if (!m_scale->SetValue(m_dScale))
            m_scale->setText(QString::number(m_dScale, 'g', 10));
        m_color->setChecked(m_bColor != 0);
        m_grey->setText(QString::number(m_nGrey));
        m_slider->setValue(m_nGrey);
        m_mirror->setChecked(m_bMirror != 0);
        m_grid->setChecked(m_bGrid != 0);
        m_fillAll->setChecked(m_bFillAll != 0);
        m_fillWide->setChecked(m_bFillWide != 0);
        m_reverse->setChecked(m_bReverse != 0);
        m_bShowing = false;
    }
    EnableControls();
    return true;
}

void CDlgPrint::EnableControls()
{
    QAbstractButton* listMode = FindControl<QAbstractButton>(this, IdListMode);
    if (m_printList.empty()) {
        m_list->setEnabled(false);
        listMode->setEnabled(false);
        m_nMode = 0;
        m_mode->Set(0);
    } else {
        m_list->setEnabled(m_nMode == 1);
        listMode->setEnabled(true);
    }
    bool ticked = false;
    for (const std::string& entry : m_printList)
        ticked = ticked || (!entry.empty() && entry.front() == '1');
    FindControl(this, CDialogBuilder::IdOk)->setEnabled(m_nMode == 0 || ticked);
    if (m_bFillAll && m_bFillWide) {
        m_bFillWide = 0;
        m_fillWide->setChecked(false);
    }
    m_fillWide->setEnabled(!m_bFillAll);
    m_fillAll->setEnabled(!m_bFillWide);
    m_grey->setEnabled(m_bColor != 0);
    m_slider->setEnabled(m_bColor != 0);
    m_reverse->setEnabled(m_nMode == 1);
}

void CDlgPrint::OnPattern()
{
    UpdateData(true);
    CDlgLayerPattern dialog(this);
    dialog.m_bPrinter = true;
    for (const std::string& entry : m_printList)
        dialog.m_entries.push_back(settings::Trim(AfterFirstColon(entry)));
    if (dialog.DoModal() != QDialog::Accepted)
        return;
    m_printList.clear();
    for (const std::string& entry : dialog.m_entries)
        m_printList.push_back("0 : " + settings::Trim(entry));
    UpdateData(false);
}

int CDlgPrint::GetPageCount() const
{
    if (m_nMode == 0)
        return 1;
    int pages = 0;
    for (const std::string& entry : m_printList)
        pages += !entry.empty() && entry.front() == '1' ? 1 : 0;
    return pages;
}

void CDlgPrint::GetPageLayers(int page, std::vector<int>& layers)
{
    m_bReverse = platform::GetProfile().GetInt("Printer", "Reverse", 0) != 0;
    const int count = static_cast<int>(m_printList.size());
    int ticked = 0;
    for (int i = 0; i < count; ++i) {
        const std::string& entry = m_printList[static_cast<std::size_t>(m_bReverse ? count - 1 - i : i)];
        if (entry.empty() || entry.front() != '1' || ++ticked != page)
            continue;
        // The layer list runs from after the entry's third ':' to the next ';'.
        std::size_t at = 0;
        for (int colon = 0; colon < 3 && at != std::string::npos; ++colon) {
            at = entry.find(':', at);
            if (at != std::string::npos)
                ++at;
        }
        std::string list = at == std::string::npos ? std::string() : entry.substr(at);
        list = list.substr(0, list.find(';'));
        layers.clear();
        std::size_t start = 0;
        while (start <= list.size()) {
            const std::size_t comma = std::min(list.find(',', start), list.size());
            const std::string field = settings::Trim(list.substr(start, comma - start));
            if (!field.empty())
                layers.push_back(std::atoi(field.c_str()) - 1);
            start = comma + 1;
        }
        layers.push_back(-1);
        return;
    }
}

void CDlgPrint::accept()
{
    UpdateData(true);
    m_nPaperCode = GetPaperCode(m_nPaper);
    platform::Profile& profile = platform::GetProfile();
    profile.SetInt("Printer", "Paint", m_bFillAll ? 2 : (m_bFillWide ? 1 : 0));
    profile.SetInt("Printer", "Reverse", m_bReverse);
    int value = 0;
    if (!CheckIntRange(m_vertical, -1000, 1000, value))
        return;
    m_nVertical = value;
    if (!CheckIntRange(m_horizontal, -1000, 1000, value))
        return;
    m_nHorizontal = value;
    QDialog::accept();
}
