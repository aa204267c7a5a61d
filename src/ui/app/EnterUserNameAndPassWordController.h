#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;

// Asks for a user name and password ("EnterUserNameAndPassWord"); the caller reads strName and
// strPassWord after the dialog ends (1 OK, 0 Cancel).
class EnterUserNameAndPassWordController : public QDialog
{
    Q_OBJECT
public:
    explicit EnterUserNameAndPassWordController(QWidget *parent = nullptr);

    void onOK();
    void onCancel();

    QString strName() const { return m_strName; }
    void setStrName(const QString &v) { m_strName = v; }
    QString strPassWord() const { return m_strPassWord; }
    void setStrPassWord(const QString &v) { m_strPassWord = v; }

    QLineEdit *userName = nullptr;
    QLineEdit *passWord = nullptr;

private:
    QString m_strName;
    QString m_strPassWord;
};
