// The running instance's end of the activation request: a local socket named after the
// instance. A request is answered at once and handled later from the event loop, so the
// second start never waits for the window to come up.
#pragma once

#include <QObject>
#include <functional>
#include <string>

class QLocalServer;

namespace tavrin::window {

class ActivationServer : public QObject {
 public:
  /// `onRequest` runs from the event loop for every request.
  ActivationServer(const std::string& instanceName, std::function<void()> onRequest,
                   QObject* parent = nullptr);
  /// False when the socket could not be created (a second start then cannot wake us).
  bool Listening() const;

 private:
  void AcceptPending();
  QLocalServer* server_;
  std::function<void()> on_request_;
};

}  // namespace tavrin::window
