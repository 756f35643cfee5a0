// 亲友: the people the user keeps, beside the main window. Search as you
// type; save the reading on the form as a person (its minute and place with
// it); open one (the form is filled and read at once); rename, update with
// the form's birth, delete (after a confirmation); import and export.
//
// The store is opened when the list is first shown, never at the window's
// start. A store that cannot be opened is shown with its reason, and the
// list stays empty and its buttons off.
#pragma once

#include "PeopleStore.h"
#include "Reading.h"

#include <QDialog>

#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace velmora {

class TPeopleDialog : public QDialog {
    Q_OBJECT

public:
    struct Hooks {
        std::function<BirthInput()> currentBirth;          // the form's birth now
        std::function<void(const BirthInput&)> openBirth;  // fill the form and read
        // Asks before a deletion; true to go on.
        // A question about the person `name`, which stays as typed.
        std::function<bool(QWidget* owner, const QString& question, const QString& name)> confirm;
        // Tells of a problem in a box.
        std::function<void(QWidget* owner, const QString& text)> inform;
        // A file name to read or write (empty when cancelled).
        std::function<QString(QWidget* owner, bool save)> chooseFile;
    };
    TPeopleDialog(QWidget* owner, Hooks hooks, std::filesystem::path store = {});
    ~TPeopleDialog() override;

    QLineEdit* edtSearch = nullptr;
    QListWidget* lstPeople = nullptr;
    QLabel* lblStatus = nullptr;
    QPushButton* btnSave = nullptr;
    QPushButton* btnOpen = nullptr;
    QPushButton* btnRename = nullptr;
    QPushButton* btnUpdate = nullptr;
    QPushButton* btnDelete = nullptr;
    QPushButton* btnImport = nullptr;
    QPushButton* btnExport = nullptr;

    // Opens the store when it is not open yet and shows the list.
    void ShowList();
    void SaveCurrent();
    void OpenSelected();
    // Renames the selected person; false when the name is not one a reading takes.
    bool RenameSelected(const QString& name);
    void UpdateSelected();
    void DeleteSelected();
    void ImportFile(const QString& file);
    void ExportFile(const QString& file);

private:
    void Fill();
    long long SelectedId() const;
    void SelectId(long long id);
    void EnableButtons();
    // Runs `work` on the store; a store error is shown with its reason.
    void WithStore(const std::function<void(people::PeopleStore&)>& work);

    Hooks hooks_;
    std::filesystem::path file_;
    std::unique_ptr<people::PeopleStore> store_;
    QString storeProblem_;
};

}  // namespace velmora
