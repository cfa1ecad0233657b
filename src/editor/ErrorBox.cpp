#include "editor/ErrorBox.h"

#include <QApplication>
#include <QMessageBox>

namespace {

ErrorPresenter& presenter()
{
    static ErrorPresenter installed;
    return installed;
}

} // namespace

QString errorText(const QString& message)
{
    if (!message.isEmpty() && message.back() > QLatin1Char('.'))
        return message + QLatin1Char('.');
    return message;
}

void showError(const std::exception& error)
{
    const QString text = errorText(QString::fromUtf8(error.what()));
    QWidget* parent = QApplication::activeWindow();
    if (presenter())
        presenter()(parent, ApplicationTitle, text);
    else
        QMessageBox::critical(parent, ApplicationTitle, text);
}

void setErrorPresenter(ErrorPresenter replacement)
{
    presenter() = std::move(replacement);
}
