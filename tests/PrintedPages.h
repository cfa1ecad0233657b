#pragma once

#include <QApplication>
#include <QProcess>
#include <QProgressDialog>
#include <QString>
#include <QStringList>

// The words of a printed PDF as a reader finds them (poppler's
// pdftotext), of one page from 1 or of all of them.
inline QString pdfText(const QString& path, int page = 0)
{
    QStringList arguments{"-raw", "-enc", "UTF-8"};
    if (page > 0)
        arguments << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess text;
    text.start("pdftotext", arguments << path << "-");
    text.waitForFinished(30000);
    return QString::fromUtf8(text.readAllStandardOutput());
}

// The window of a print job under way; none when no job runs.
inline QProgressDialog* jobWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (auto* progress = qobject_cast<QProgressDialog*>(window))
            return progress;
    return nullptr;
}
