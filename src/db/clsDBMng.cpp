#include "db/clsDBMng.h"

#include <utility>

#include "db/Secrets.h"

namespace orvitex::db {

clsDBMng::clsDBMng(std::shared_ptr<ado::Environment> environment, platform::Ui& ui,
                   platform::FileSystem& files)
    : environment_(std::move(environment)), ui_(ui), files_(files) {}

clsDBMng::~clsDBMng() {
    try {
        static_cast<void>(ServerDisConnect());
        SetMainConnection(nullptr);
    } catch (...) {
        // Destruction never fails; the connection objects go with the fields.
    }
}

void clsDBMng::ErrorClear() {
    ErrorDesc.clear();
}

std::u16string clsDBMng::LocalDataFilePath() const {
    return files_.ExecutableFolder() + u"\\..\\LocalData\\OrviTex.mdb";
}

void clsDBMng::ConnectComplete(const ado::Error* pError, std::int32_t adStatus,
                               ado::Connection& pConnection) {
    sConnect_ConnectComplete(pError, adStatus, pConnection);
}

void clsDBMng::Disconnect(std::int32_t adStatus, ado::Connection& pConnection) {
    sConnect_Disconnect(adStatus, pConnection);
}

void clsDBMng::sConnect_ConnectComplete(const ado::Error* /*pError*/, std::int32_t adStatus,
                                        ado::Connection& /*pConnection*/) {
    if (adStatus == ado::adStatusOK)
        mIsConnected = true;
}

void clsDBMng::sConnect_Disconnect(std::int32_t /*adStatus*/, ado::Connection& /*pConnection*/) {
    mIsConnected = false;
}

// A connection the class no longer holds must not report to it: its recordsets
// may outlive the swap, and the class may be gone before them.
void clsDBMng::SetMainConnection(std::shared_ptr<ado::Connection> connection) {
    if (auto previous = eventSource_.lock())
        previous->SetEvents(nullptr);
    eventSource_.reset();
    sConnect = std::move(connection);
    if (sConnect) {
        sConnect->SetEvents(this);
        eventSource_ = sConnect;
    }
}

std::u16string clsDBMng::WithoutSecrets(std::u16string text) const {
    const auto current = sConnect ? sConnect->ConnectionString() : std::u16string();
    return MaskSecrets(std::move(text), {DBConnectString, current});
}

}  // namespace orvitex::db
