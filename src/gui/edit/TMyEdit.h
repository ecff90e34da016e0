#pragma once
// The record editor: the one window in which a video record is typed -- a new record, a
// change to the current record, or a copy of it saved as a new one.  Created once right
// after the main window and kept until the end; it holds the data lists, which fill its
// drop-down boxes (and the viewer's), and writes them to the database's list files each time
// it closes.  Its rules (the boxes as texts, the checks, the write-back) live in core/edit.

#include <QDialog>

#include <array>
#include <filesystem>
#include <functional>
#include <map>
#include <vector>

#include "core/edit/EditorRecord.h"
#include "core/lists/DataLists.h"
#include "core/lists/Selection.h"
#include "gui/common/MainHost.h"
#include "gui/common/Placement.h"

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenuBar;
class QPushButton;
class QTabWidget;

namespace rv::gui {

class TMyEdit : public QDialog, public DataLists {
    Q_OBJECT
public:
    explicit TMyEdit(MainHost& main);
    ~TMyEdit() override;

    // ---- Data lists (the main window's database switch calls these) ---------------------
    rv::lists::DataLists& lists() { return lists_; }
    void SaveAllLists(const std::filesystem::path& basePath) override;
    void LoadAllList(const std::filesystem::path& basePath) override;
    void LoadDefaultList() override;
    void SaveDefaultLists();

    // ---- Operations ------------------------------------------------------------------
    void LoadInData();
    void DoClear();
    void SaveValues();
    bool ValuesChanged() const;
    bool DoUpdate();
    void DoAnUpdate();
    void DoUpdateAndExit();
    void DoExit();
    void DoPreviousRecord();
    void DoNextRecord();
    void SetCaptions();

    // ---- Event handlers --------------------------------------------------------------
    void MenuNewClick();
    void MenuCopyRecordClick();
    void MenuPrintRecordClick();
    void MenuHelpClick();
    void CheckOutClick();
    void BlankCheckOutClick();
    void BlankPurchDateClick();
    void SelectOscarAwardClick();
    void SelectOscarNomClick();
    void SelectMiscClick();
    void ListPriceExit();
    void PurchPriceExit();
    void TitleExit();

    // The boxes as texts (with the dates as they were loaded), and back.
    rv::edit::EditorRecord boxes() const;
    void setBoxes(const rv::edit::EditorRecord& boxes);
    // The box widget of a catalogue field (QLineEdit, QComboBox or QCheckBox).
    QWidget* box(int field) const;

    // The record printout and the help topic come with their own windows; until they are
    // provided the two items stay disabled.
    void setPrintHandler(std::function<void(const rv::edit::EditorRecord&)> handler);
    void setHelpHandler(std::function<void(const QString& keyword)> handler);

    // ---- Controls, named as their components -------------------------------------------
    QMenuBar* MainMenu = nullptr;
    QTabWidget* MyTabbedNoteBook = nullptr;
    QLineEdit *Title = nullptr, *YearReleased = nullptr, *Writer = nullptr, *KeyWords = nullptr,
              *Description = nullptr, *MediaNumber = nullptr, *CounterStart = nullptr, *CounterStop = nullptr,
              *PlayTime = nullptr, *CheckDate = nullptr, *ListPrice = nullptr, *PurchPrice = nullptr,
              *PurchDate = nullptr, *OscarAward = nullptr, *OscarNom = nullptr, *Misc = nullptr,
              *UserDef1 = nullptr, *UserDef2 = nullptr;
    QComboBox *Star1 = nullptr, *Star2 = nullptr, *Star3 = nullptr, *Star4 = nullptr, *Star5 = nullptr,
              *Star6 = nullptr, *Producer = nullptr, *Director = nullptr, *ReleasedBy = nullptr,
              *Category = nullptr, *Rating = nullptr, *PersRating = nullptr, *Format = nullptr,
              *LaserFormat = nullptr, *Content = nullptr, *Picture = nullptr, *Sound = nullptr,
              *RecordSpeed = nullptr, *CheckName = nullptr, *WherePurch = nullptr;
    QCheckBox *Viewed = nullptr, *CheckOut = nullptr;
    QLabel *TitleLabel = nullptr, *StarsLabel = nullptr, *YearReleaseLabel = nullptr, *ProducerLabel = nullptr,
           *DirectorLabel = nullptr, *WriterLabel = nullptr, *ReleasedByLabel = nullptr, *CategoryLabel = nullptr,
           *RatingLabel = nullptr, *PersRatingLabel = nullptr, *KeyWordsLabel = nullptr,
           *DescriptionLabel = nullptr, *FormatLabel = nullptr, *LaserFormatLabel = nullptr,
           *ContentLabel = nullptr, *PictureLabel = nullptr, *SoundLabel = nullptr, *RecordSpeedLabel = nullptr,
           *MediaNumLabel = nullptr, *CounterStartLabel = nullptr, *CounterStopLabel = nullptr,
           *PlayTimeLabel = nullptr, *CheckDateLabel = nullptr, *CheckPersonLabel = nullptr,
           *ListPriceLabel = nullptr, *PurchPriceLabel = nullptr, *PurchDateLabel = nullptr,
           *WherePurchLabel = nullptr, *OscarAwardLabel = nullptr, *OscarNomLabel = nullptr,
           *MiscLabel = nullptr, *UserDef1Label = nullptr, *UserDef2Label = nullptr;
    QLabel *WarrantyItem = nullptr, *LibraryItem = nullptr, *WorthItem = nullptr;
    QPushButton *BlankCheckOut = nullptr, *BlankPurchDate = nullptr, *SelectOscarAward = nullptr,
                *SelectOscarNom = nullptr, *SelectMisc = nullptr;
    QPushButton *UpdateExitButton = nullptr, *UpdateButton = nullptr, *ClearButton = nullptr,
                *CancelButton = nullptr, *PrevButton = nullptr, *NextButton = nullptr;
    QAction *MenuNew = nullptr, *MenuCopyRecord = nullptr, *MenuClear = nullptr, *MenuUpdate = nullptr,
            *MenuUpdateExit = nullptr, *MenuPrintRecord = nullptr, *MenuPrevious = nullptr, *MenuNext = nullptr,
            *MenuExit = nullptr, *MenuCut = nullptr, *MenuCopy = nullptr, *MenuPaste = nullptr,
            *MenuDelete = nullptr, *MenuHelp = nullptr;

    // The Enter key's chain of boxes with the page each lies on.
    struct ChainStep {
        QWidget* box;
        int page;
    };
    const std::vector<ChainStep>& enterChain() const { return chain_; }

public slots:
    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void createMenus();
    void layoutPages();
    void buildEnterChain();
    void setLabels();
    void SetColors();
    void fillDropDowns(int list);
    rv::edit::EditorMode mode() const;
    void setMode(rv::edit::EditorMode mode);
    // Asks a Yes/No/Cancel question with the question sound; false when the command ends
    // (Cancel, or Yes and the update failed).
    bool askToUpdate(std::string_view question);
    void moveRecord(bool forward);
    void selectOscar(rv::lists::SelectionKind kind, QLineEdit* target);
    // The Edit menu's commands on the focused text box.
    enum class ClipboardOp { Cut, Copy, Paste, Delete };
    void clipboard(ClipboardOp op);
    void enterPressed(QObject* watched);

    MainHost& main_;
    rv::lists::DataLists lists_;
    int listsListener_ = 0;
    std::array<QWidget*, rv::db::kFieldCount + 1> boxes_{};
    std::map<int, std::vector<QComboBox*>> dropDowns_;  // list number -> its boxes
    std::array<QLabel*, rv::db::kFieldCount + 1> labels_{};
    rv::edit::EditorRecord snapshot_;
    std::optional<rv::edit::LoadedDate> loadedCheckDate_, loadedPurchDate_;
    rv::edit::CheckOutMemory checkOutMemory_;
    std::vector<ChainStep> chain_;
    FormDimensions dimensions_;
    std::function<void(const rv::edit::EditorRecord&)> printHandler_;
    std::function<void(const QString&)> helpHandler_;
};

// The record editor of the main window (created by installRecordEditor), or null.
TMyEdit* recordEditor(MainHost& main);

// Creates the record editor for the main window and gives the main window its commands:
// Add, Edit, Copy and Delete, the double click of the viewer (through Edit), the list
// maintenance items and the two default-list commands.  Call once, after TMain started.
TMyEdit* installRecordEditor(MainHost& main);

// DoAdd, DoEdit, DoCopy: set the editor mode, show the editor, then refresh the count.
void DoAdd(MainHost& main);
void DoEdit(MainHost& main);
void DoCopy(MainHost& main);
// DoDelete: asks "Delete this record?", deletes on Yes; the count is refreshed either way.
void DoDelete(MainHost& main);

}  // namespace rv::gui
