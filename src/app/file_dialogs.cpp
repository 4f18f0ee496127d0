#include "app/file_dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QIdentityProxyModel>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace eq {
namespace {

// Qt's file list writes sizes and dates in the system's locale; this writes them in the program's.
class LocalDetails : public QIdentityProxyModel {
 public:
  using QIdentityProxyModel::QIdentityProxyModel;

  QVariant data(const QModelIndex& index, int role) const override {
    const auto* files = qobject_cast<const QFileSystemModel*>(sourceModel());
    if (role != Qt::DisplayRole || !files) return QIdentityProxyModel::data(index, role);
    constexpr int kSize = 1, kModified = 3;  // the file list's columns
    const QModelIndex source = mapToSource(index);
    const QLocale locale;
    if (index.column() == kSize && !files->isDir(source)) return locale.formattedDataSize(files->size(source));
    if (index.column() == kModified) return locale.toString(files->lastModified(source), QLocale::ShortFormat);
    return QIdentityProxyModel::data(index, role);
  }
};

void useOwnDialog(QFileDialog& dialog) {
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  dialog.setProxyModel(new LocalDetails(&dialog));
}

std::optional<QString> chosenFile(QFileDialog& dialog) {
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return QDir::toNativeSeparators(dialog.selectedFiles().front());
}

// "png" of "PNG 画像 (*.png)".
QString extensionOf(const QString& filter) {
  static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
  return pattern.match(filter).captured(1);
}

}  // namespace

void speakJapanese() {
  QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
  static QTranslator* qtTranslation = nullptr;
  if (qtTranslation) return;
  qtTranslation = new QTranslator(QCoreApplication::instance());
  if (qtTranslation->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qtTranslation);
}

std::optional<QString> askOpenFileName(QWidget* parent, const QString& title, const QString& start,
                                       const QString& filter) {
  QFileDialog dialog(parent, title, start, filter);
  useOwnDialog(dialog);
  dialog.setFileMode(QFileDialog::ExistingFile);
  dialog.setOption(QFileDialog::ReadOnly);
  return chosenFile(dialog);
}

std::optional<QString> askSaveFileName(QWidget* parent, const QString& title, const QString& start,
                                       const QStringList& filters,
                                       const std::function<QString(const QString&, const QString&)>& retype) {
  QFileDialog dialog(parent, title, start);
  useOwnDialog(dialog);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setNameFilters(filters);
  dialog.setDefaultSuffix(extensionOf(filters.value(0)));
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&](const QString& shown) {
    QString extension;  // the list shows a type without its pattern
    for (const QString& filter : filters) {
      if (extension.isEmpty() && (filter == shown || filter.startsWith(shown + QStringLiteral(" (")))) extension = extensionOf(filter);
    }
    dialog.setDefaultSuffix(extension);
    const QFileInfo typed(dialog.selectedFiles().value(0));
    if (retype && !typed.fileName().isEmpty() && !typed.isDir()) dialog.selectFile(retype(typed.fileName(), extension));
  });
  return chosenFile(dialog);
}

}  // namespace eq
