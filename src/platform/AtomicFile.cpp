#include "platform/AtomicFile.h"

#include "platform/PelvaneError.h"

#include <QSaveFile>

void WriteFileAtomic(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EPelvaneError(QStringLiteral("ファイル(%1)に書き込めません: %2").arg(fileName, file.errorString()));
    if (file.write(bytes) != bytes.size()) {
        const QString why = file.errorString();
        file.cancelWriting();
        throw EPelvaneError(QStringLiteral("ファイル(%1)に書き込めません: %2").arg(fileName, why));
    }
    if (!file.commit())
        throw EPelvaneError(QStringLiteral("ファイル(%1)に書き込めません: %2").arg(fileName, file.errorString()));
}
