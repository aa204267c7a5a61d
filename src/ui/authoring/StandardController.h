#pragma once

#include <QDialog>
#include <QString>

class StandardController : public QDialog
{
    Q_OBJECT
public:
    explicit StandardController(QWidget *parent = nullptr) : QDialog(parent) {}
    void setStandardName(const QString &code) { m_code = code; }
    void awakeFromNib() {}
    QString standardNameSelected() const { return m_code; }
    QString standardTitleSelected() const { return m_code; }

private:
    QString m_code;
};
