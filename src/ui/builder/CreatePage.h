#pragma once

#include <QString>
#include <string>

#include "core/builder/FaceBuilder.h"
#include "core/builder/PartTable.h"
#include "ui/platform/Page.h"

class QGroupBox;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace mopira {

class CFaceParts;
class CIconButton;

// The create tab: the seven part buttons that together show the face (CFaceParts), the list of
// part kinds with their check boxes, the list of one kind's variations, random and "一覧に追加".
// The builder's state and rules live in CFaceBuilder; these handlers keep the widgets in step
// with it. The parts tables are read from the data folder when the page is made.
class CCreatePage : public CPage {
    Q_OBJECT

public:
    CCreatePage(const QString& dataDirectory, QWidget* parent);

    void ReadSettings(const Settings& settings) override;
    void WriteSettings(Settings& settings) const override;
    void ShowPage() override;
    void LayoutPage(int width, int height) override;
    QSize UsefulSize() const override;
    std::string CurrentFace() override;
    void UpdateCurrentFace() override;
    Charset FaceCharset() const override;

    // Where the random face draws from; the page seeds one from the time when it is made.
    void SetRandomSource(CFaceBuilder::RandomSource random) { m_random = std::move(random); }
    // Whether "一覧に追加" can add to the library; `why` is its tip when it cannot.
    void SetAddEnabled(bool enabled, const QString& why = {});

signals:
    // "一覧に追加" was pressed with this face, in bytes of `charset`.
    void addRequested(const std::string& face, Charset charset);

private:
    void CreateControls();
    void SetupLists();
    void ConnectHandlers();
    void LoadPartTables(const QString& dataDirectory);

    void ShowCategory(PartCategory category);
    void ApplyRow(PartCategory category);
    void OnTypeListItemChanged();
    void OnVariationListItemChanged();
    void OnPartButton(PartSlot slot);
    void OnRandom();
    void OnAdd();
    std::string ComposeFace();
    void LayoutPartButtons();
    void SelectVariationRow(int row);
    void UpdateCommandStates(bool hasFace);

    CFaceBuilder m_builder;
    CFaceBuilder::RandomSource m_random;
    int m_nTypeWidth = 80;
    int m_nValue1Width = 100;
    int m_nValue2Width = 100;

    QListWidget* m_lstType = nullptr;
    QTreeWidget* m_lstVariation = nullptr;
    QGroupBox* m_grpFace = nullptr;
    QPushButton* m_btnRandom = nullptr;
    CIconButton* m_btnAdd = nullptr;
    CFaceParts* m_parts = nullptr;
};

}  // namespace mopira
