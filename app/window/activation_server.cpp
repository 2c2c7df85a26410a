#include "app/window/activation_server.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QTimer>

#include "app/startup/activation.h"
#include "helpers/debug_log.h"

namespace tavrin::window {

ActivationServer::ActivationServer(const std::string& instanceName, std::function<void()> onRequest,
                                   QObject* parent)
    : QObject(parent), server_(new QLocalServer(this)), on_request_(std::move(onRequest)) {
  const QString path = QString::fromStdString(startup::ActivationSocketPath(instanceName).string());
  // We hold the instance lock, so a socket file left there belongs to a dead instance.
  QLocalServer::removeServer(path);
  server_->setSocketOptions(QLocalServer::UserAccessOption);
  if (!server_->listen(path))
    helpers::DebugLog("Activation socket not available: " + server_->errorString().toStdString());
  connect(server_, &QLocalServer::newConnection, this, [this] { AcceptPending(); });
}

bool ActivationServer::Listening() const {
  return server_->isListening();
}

void ActivationServer::AcceptPending() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
      if (!socket->canReadLine()) return;
      const QByteArray line = socket->readLine();
      if (line == QByteArray(startup::kActivationRequest.data(),
                             static_cast<qsizetype>(startup::kActivationRequest.size()))) {
        // Queued, as the request arrives in the middle of whatever the loop was doing.
        QTimer::singleShot(0, this, [this] {
          if (on_request_) on_request_();
        });
      }
      socket->write(startup::kActivationReply.data(),
                    static_cast<qint64>(startup::kActivationReply.size()));
      socket->disconnectFromServer();
    });
  }
}

}  // namespace tavrin::window
