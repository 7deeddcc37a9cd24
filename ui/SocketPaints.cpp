// The xcb platform's switch, held only while the connection is made.
#include "ui/SocketPaints.h"

#include <QByteArray>
#include <QtGlobal>

namespace {

constexpr char kNoSharedMemory[] = "QT_XCB_NO_MITSHM";

}  // namespace

CSocketPaints::CSocketPaints() {
    if (qEnvironmentVariableIsSet(kNoSharedMemory)) return;
    qputenv(kNoSharedMemory, QByteArrayLiteral("1"));
    m_chosenHere = true;
}

void CSocketPaints::Connected() {
    if (m_chosenHere) qunsetenv(kNoSharedMemory);
    m_chosenHere = false;
}
