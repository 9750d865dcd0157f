#include "ui/FileDialogs.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QStringList>

namespace quillon::ui {

namespace {

QString NameFilters(const std::vector<FileDialogs::Filter>& filters) {
    QStringList out;
    for (const auto& f : filters) {
        // The toolkit reads the patterns from the parenthesis of the name.
        out << QString::fromStdString(f.name);
    }
    return out.join(QStringLiteral(";;"));
}

std::string ToPath(const QString& s) {
    return QFile::encodeName(s).toStdString();
}

}  // namespace

std::optional<std::string> QtFileDialogs::OpenFile(const std::string& title,
                                                   const std::vector<Filter>& filters) {
    return OpenFileIn(title, filters, std::string());
}

std::optional<std::string> QtFileDialogs::OpenFileIn(const std::string& title,
                                                     const std::vector<Filter>& filters,
                                                     const std::string& folder) {
    QFileDialog dlg(owner_, QString::fromStdString(title));
    if (!folder.empty()) {
        dlg.setDirectory(QFile::decodeName(folder.c_str()));
    }
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setNameFilter(NameFilters(filters));
    dlg.setOption(QFileDialog::ReadOnly, false);
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ToPath(dlg.selectedFiles().front());
}

std::optional<std::string> QtFileDialogs::SaveFile(const std::string& title,
                                                   const std::vector<Filter>& filters,
                                                   const std::string& suggested,
                                                   const std::string& extension) {
    QFileDialog dlg(owner_, QString::fromStdString(title));
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(NameFilters(filters));
    dlg.setDefaultSuffix(QString::fromStdString(extension));
    if (!suggested.empty()) {
        dlg.selectFile(QFile::decodeName(suggested.c_str()));
    }
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return ToPath(dlg.selectedFiles().front());
}

}  // namespace quillon::ui
