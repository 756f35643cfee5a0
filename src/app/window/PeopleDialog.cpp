#include "PeopleDialog.h"

#include "InputCheck.h"
#include "PeopleFile.h"
#include "PersonBirth.h"
#include "Places.h"
#include "WindowScript.h"

#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSaveFile>
#include <QFile>
#include <QVBoxLayout>

namespace velmora {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// One line of the list: 张三  男  公历 1990-5-17 8时  成都市  表哥, in the
// window's script but the name and the note as typed.
QString PersonLine(const people::Person& p)
{
    QString line = Text(p.name) + QStringLiteral("  ") + InWindowScript(Text(p.sex)) + QStringLiteral("  ") +
                   InWindowScript(p.calendar == "lunar" ? QStringLiteral("农历 ") : QStringLiteral("公历 ")) +
                   (p.leap ? InWindowScript(QStringLiteral("闰")) : QString()) + Text(p.date) + QStringLiteral(" ") +
                   (p.hour == "unknown" ? InWindowScript(QStringLiteral("时辰不详"))
                                        : Text(p.hour) + InWindowScript(QStringLiteral("时")));
    if (p.minute) line += Text(std::to_string(*p.minute)) + InWindowScript(QStringLiteral("分"));
    if (!p.place.empty()) line += QStringLiteral("  ") + InWindowScript(Text(p.place));
    if (!p.note.empty()) line += QStringLiteral("  ") + Text(p.note);
    return line;
}

// What keeps a person from being read, or nothing: the form's own check, a
// date that exists and a place the list knows.
std::optional<QString> BirthProblem(const people::Person& person)
{
    const BirthInput birth = BirthOfPerson(person);
    if (!InputsAreValid(birth)) return QString::fromUtf8(kInputErrorMessage.data(),
                                                         static_cast<int>(kInputErrorMessage.size()));
    if (const std::string problem = BirthDateProblem(birth); !problem.empty()) return Text(problem);
    if (!person.place.empty() && !PlaceNamed(person.place)) return QStringLiteral("找不到出生地 ") + Text(person.place);
    return std::nullopt;
}

}  // namespace

TPeopleDialog::TPeopleDialog(QWidget* owner, Hooks hooks, std::filesystem::path store)
    : QDialog(owner), hooks_(std::move(hooks)), file_(std::move(store)) {
    setObjectName(QStringLiteral("PeopleDialog"));
    setWindowTitle(QStringLiteral("亲友"));
    resize(460, 420);
    edtSearch = new QLineEdit(this);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setPlaceholderText(QStringLiteral("搜索姓名、备注、出生地或日期"));
    edtSearch->setClearButtonEnabled(true);
    lstPeople = new QListWidget(this);
    lstPeople->setObjectName(QStringLiteral("lstPeople"));
    lblStatus = new QLabel(this);
    lblStatus->setWordWrap(true);
    // Its counts come in the script already; a store's problem may name a file.
    KeepTextAsIs(*lblStatus);
    const auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        return b;
    };
    btnSave = button("btnSave", QStringLiteral("保存当前"));
    btnSave->setToolTip(QStringLiteral("把表单上的生辰（连同出生分钟、出生地等精确时刻选项）存为一位亲友"));
    btnOpen = button("btnOpen", QStringLiteral("打开"));
    btnRename = button("btnRename", QStringLiteral("改名…"));
    btnUpdate = button("btnUpdate", QStringLiteral("用当前生辰更新"));
    btnDelete = button("btnDelete", QStringLiteral("删除"));
    btnImport = button("btnImport", QStringLiteral("导入…"));
    btnExport = button("btnExport", QStringLiteral("导出…"));

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {btnSave, btnOpen, btnRename, btnUpdate, btnDelete}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(btnImport);
    buttons->addWidget(btnExport);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(edtSearch);
    listColumn->addWidget(lstPeople);
    listColumn->addWidget(lblStatus);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 1);
    layout->addLayout(buttons);

    connect(edtSearch, &QLineEdit::textChanged, this, &TPeopleDialog::Fill);
    connect(lstPeople, &QListWidget::currentRowChanged, this, &TPeopleDialog::EnableButtons);
    connect(lstPeople, &QListWidget::itemActivated, this, &TPeopleDialog::OpenSelected);
    connect(btnSave, &QPushButton::clicked, this, &TPeopleDialog::SaveCurrent);
    connect(btnOpen, &QPushButton::clicked, this, &TPeopleDialog::OpenSelected);
    connect(btnRename, &QPushButton::clicked, this, [this] {
        if (lstPeople->currentItem() == nullptr) return;
        bool ok = false;
        const QString name = QInputDialog::getText(this, InWindowScript(QStringLiteral("改名")), InWindowScript(QStringLiteral("新的姓名：")),
                                                   QLineEdit::Normal, lstPeople->currentItem()->data(Qt::UserRole + 1).toString(), &ok);
        if (ok) RenameSelected(name);
    });
    connect(btnUpdate, &QPushButton::clicked, this, &TPeopleDialog::UpdateSelected);
    connect(btnDelete, &QPushButton::clicked, this, &TPeopleDialog::DeleteSelected);
    connect(btnImport, &QPushButton::clicked, this, [this] {
        if (const QString file = hooks_.chooseFile(this, false); !file.isEmpty()) ImportFile(file);
    });
    connect(btnExport, &QPushButton::clicked, this, [this] {
        if (const QString file = hooks_.chooseFile(this, true); !file.isEmpty()) ExportFile(file);
    });
    EnableButtons();
}

TPeopleDialog::~TPeopleDialog() = default;

void TPeopleDialog::WithStore(const std::function<void(people::PeopleStore&)>& work) {
    try {
        if (!store_) store_ = std::make_unique<people::PeopleStore>(file_.empty() ? people::DefaultPeopleStorePath() : file_);
        storeProblem_.clear();
        work(*store_);
    } catch (const people::PeopleStoreError& e) {
        storeProblem_ = QString::fromUtf8(e.what());
        hooks_.inform(this, storeProblem_);
    }
}

void TPeopleDialog::ShowList() {
    ShowTextsInWindowScript(*this);
    Fill();
}

void TPeopleDialog::Fill() {
    const long long selected = SelectedId();
    lstPeople->clear();
    WithStore([&](people::PeopleStore& store) {
        const std::vector<people::Person> everyone = store.List(edtSearch->text().toStdString());
        for (const people::Person& person : everyone) {
            auto* item = new QListWidgetItem(PersonLine(person), lstPeople);
            item->setData(Qt::UserRole, QVariant::fromValue(person.id));
            item->setData(Qt::UserRole + 1, Text(person.name));
        }
        lblStatus->setText(InWindowScript(edtSearch->text().isEmpty() ? QStringLiteral("共 %1 人")
                                                                      : QStringLiteral("找到 %1 人"))
                               .arg(everyone.size()));
    });
    if (!storeProblem_.isEmpty()) lblStatus->setText(storeProblem_);
    SelectId(selected);
    EnableButtons();
}

long long TPeopleDialog::SelectedId() const {
    const QListWidgetItem* item = lstPeople->currentItem();
    return item != nullptr ? item->data(Qt::UserRole).toLongLong() : 0;
}

void TPeopleDialog::SelectId(long long id) {
    for (int row = 0; row < lstPeople->count(); ++row)
        if (lstPeople->item(row)->data(Qt::UserRole).toLongLong() == id) lstPeople->setCurrentRow(row);
}

void TPeopleDialog::EnableButtons() {
    const bool usable = storeProblem_.isEmpty();
    const bool selected = usable && lstPeople->currentItem() != nullptr;
    for (QPushButton* b : {btnOpen, btnRename, btnUpdate, btnDelete}) b->setEnabled(selected);
    for (QPushButton* b : {btnSave, btnImport, btnExport}) b->setEnabled(usable);
}

void TPeopleDialog::SaveCurrent() {
    const people::Person person = PersonOfBirth(hooks_.currentBirth());
    if (const auto problem = BirthProblem(person)) {
        hooks_.inform(this, *problem);
        return;
    }
    long long id = 0;
    WithStore([&](people::PeopleStore& store) { id = store.Add(person); });
    edtSearch->clear();
    Fill();
    SelectId(id);
}

void TPeopleDialog::OpenSelected() {
    const long long id = SelectedId();
    std::optional<people::Person> person;
    WithStore([&](people::PeopleStore& store) { person = store.Find(id); });
    if (!person) return;
    hooks_.openBirth(BirthOfPerson(*person));
}

bool TPeopleDialog::RenameSelected(const QString& name) {
    const std::string text = name.trimmed().toStdString();
    bool renamed = false;
    WithStore([&](people::PeopleStore& store) {
        std::string refusal;
        renamed = store.Edit(SelectedId(), [&](people::Person& p) -> std::optional<std::string> {
            p.name = text;
            if (const auto problem = BirthProblem(p)) return problem->toStdString();
            return std::nullopt;
        }, &refusal) == people::EditOutcome::Changed;
        if (!refusal.empty()) hooks_.inform(this, Text(refusal));
    });
    Fill();
    return renamed;
}

void TPeopleDialog::UpdateSelected() {
    people::Person birth = PersonOfBirth(hooks_.currentBirth());
    if (const auto problem = BirthProblem(birth)) {
        hooks_.inform(this, *problem);
        return;
    }
    WithStore([&](people::PeopleStore& store) {
        store.Edit(SelectedId(), [&](people::Person& p) -> std::optional<std::string> {
            // The birth is the form's; the person keeps its note and times.
            birth.id = p.id, birth.note = p.note, birth.created = p.created;
            p = birth;
            return std::nullopt;
        });
    });
    Fill();
}

void TPeopleDialog::DeleteSelected() {
    const QListWidgetItem* item = lstPeople->currentItem();
    if (item == nullptr) return;
    const QString name = item->data(Qt::UserRole + 1).toString();
    if (!hooks_.confirm(this, QStringLiteral("删除 %1？此操作不能撤销。").arg(name), name)) return;
    const long long id = SelectedId();
    WithStore([&](people::PeopleStore& store) { store.Remove(id); });
    Fill();
}

void TPeopleDialog::ImportFile(const QString& file) {
    QFile in(file);
    if (!in.open(QIODevice::ReadOnly)) {
        hooks_.inform(this, QStringLiteral("无法读取 %1：%2").arg(file, in.errorString()));
        return;
    }
    const QByteArray bytes = in.readAll();
    people::PeopleFromFile read = people::ReadPeopleFile(std::string_view(bytes.constData(), bytes.size()));
    for (std::size_t row = 0; !read.problem && row < read.people.size(); ++row)
        if (const auto problem = BirthProblem(read.people[row]))
            read.problem = people::RowProblem{row + 1, "", problem->toStdString()};
    if (read.problem) {
        hooks_.inform(this, QStringLiteral("没有导入任何人：") + Text(read.problem->Describe()));
        return;
    }
    WithStore([&](people::PeopleStore& store) { store.AddAll(read.people); });
    Fill();
}

void TPeopleDialog::ExportFile(const QString& file) {
    std::string bytes;
    WithStore([&](people::PeopleStore& store) {
        const auto everyone = store.List();
        bytes = file.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive) ? people::PeopleAsCsv(everyone)
                                                                            : people::PeopleAsJson(everyone);
    });
    if (!storeProblem_.isEmpty()) return;
    // Written whole beside the file and renamed into place.
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0 ||
        !out.commit())
        hooks_.inform(this, QStringLiteral("无法写入 %1：%2").arg(file, out.errorString()));
}

}  // namespace velmora
