#include "FakeOffice.h"

#include <QFile>

namespace {

QString readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

QByteArray quoted(const QString &text)
{
    QString inner = text;
    inner.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return "'" + inner.toUtf8() + "'";
}

} // namespace

FakeOffice::FakeOffice(const QString &folder, const QString &result, int failures, Failure how, const QString &waitFor)
    : m_folder(folder)
{
    QByteArray script = "here=" + quoted(folder) + "\n";
    if (!waitFor.isEmpty())
        script += "i=0\n"
                  "while [ ! -e " + quoted(waitFor) + " ]; do\n"
                  "  i=$((i + 1)); [ $i -gt 100 ] && { echo 'nobody answered'; exit 3; }\n"
                  "  sleep 0.05\n"
                  "done\n";
    script += "n=$(( $(cat \"$here/starts\" 2>/dev/null || echo 0) + 1 ))\n"
              "echo $n > \"$here/starts\"\n"
              "for a; do case \"$a\" in -env:UserInstallation=*) echo \"$a\" >> \"$here/profiles\";; esac; done\n"
              "if [ $n -le " + QByteArray::number(failures) + " ]; then\n"
              "  echo 'the fake office fails'\n"
              + (how == Failure::Crash ? "  kill -KILL $$\n" : "  exit 0\n") +
              "fi\n"
              "while [ $# -gt 1 ]; do\n"
              "  case \"$1\" in --convert-to) fmt=$2; shift;; --outdir) out=$2; shift;; esac\n"
              "  shift\n"
              "done\n"
              "name=$(basename \"$1\")\n"
              "cp " + quoted(result) + " \"$out/${name%.*}.$fmt\"\n";
    CommandFolder::make(folder, {QStringLiteral("soffice"), QStringLiteral("libreoffice")},
                        {{QStringLiteral("soffice"), script}});
    m_environment = std::make_unique<ScopedEnvironment>(
        QList<std::pair<QByteArray, QByteArray>>{{"PATH", folder.toUtf8()}, {"POLLIX_SOFFICE", QByteArray()}});
}

FakeOffice::~FakeOffice() = default;

int FakeOffice::starts() const
{
    return readAll(m_folder + QStringLiteral("/starts")).trimmed().toInt();
}

QStringList FakeOffice::profiles() const
{
    return readAll(m_folder + QStringLiteral("/profiles")).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
