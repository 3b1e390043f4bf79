#include "ui/SingleInstance.h"

#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

#include <cstdint>
#include <cstdio>

namespace tagmora {

namespace {

// A message: the magic line, each path followed by a NUL byte, then one
// more NUL. Paths are the system's bytes and never hold a NUL.
constexpr char kMagic[] = "tagmora-open 1\n";
constexpr qsizetype kMagicSize = sizeof kMagic - 1;
constexpr char kAnswer[] = "OK\n";
// A local client of the same user, but no reason to take any size.
constexpr qsizetype kMaxMessage = 64 * 1024 * 1024;
constexpr int kAttempts = 50;
constexpr int kAttemptPauseMs = 100;
constexpr int kAnswerTimeoutMs = 10000;

QByteArray Encode(const std::vector<std::string>& paths) {
  QByteArray message(kMagic, kMagicSize);
  for (const std::string& path : paths) {
    message.append(path.data(), static_cast<qsizetype>(path.size()));
    message.append('\0');
  }
  message.append('\0');
  return message;
}

enum class Decoded { Incomplete, Complete, Bad };

Decoded Decode(const QByteArray& message, std::vector<std::string>& paths) {
  const QByteArray magic = QByteArray::fromRawData(kMagic, kMagicSize);
  if (!magic.startsWith(message.left(kMagicSize))) return Decoded::Bad;
  if (message.size() < kMagicSize) return Decoded::Incomplete;
  paths.clear();
  for (qsizetype pos = kMagicSize;;) {
    const qsizetype end = message.indexOf('\0', pos);
    if (end < 0) return Decoded::Incomplete;
    if (end == pos) return end + 1 == message.size() ? Decoded::Complete : Decoded::Bad;
    paths.emplace_back(message.constData() + pos, static_cast<size_t>(end - pos));
    pos = end + 1;
  }
}

// FNV-1a: the same folder gives the same name in every build.
std::string Key(const std::string& text) {
  uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return hex;
}

}  // namespace

SingleInstance::SingleInstance(const std::string& settingsFolder, QObject* parent)
    : QObject(parent), key_(Key(settingsFolder)) {
  connect(&server_, &QLocalServer::newConnection, this, &SingleInstance::Accept);
}

SingleInstance::~SingleInstance() { server_.close(); }

SingleInstance::Claim SingleInstance::ClaimWindow(const std::vector<std::string>& paths) {
  const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  // Without a runtime folder there is nothing to meet at.
  if (runtime.isEmpty()) return Claim::First;
  const QString base = runtime + QStringLiteral("/tagmora-") + QString::fromStdString(key_);
  serverName_ = base + QStringLiteral(".socket");
  lock_ = std::make_unique<QLockFile>(base + QStringLiteral(".lock"));
  // A window may run for weeks; only a dead holder makes the lock stale.
  lock_->setStaleLockTime(0);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (lock_->tryLock(0)) {
      // A socket left by a window that crashed would block the listening.
      QLocalServer::removeServer(serverName_);
      server_.setSocketOptions(QLocalServer::UserAccessOption);
      if (!server_.listen(serverName_))
        std::fprintf(stderr, "tagmora: cannot listen on %s: %s\n", qPrintable(serverName_),
                     qPrintable(server_.errorString()));
      return Claim::First;
    }
    if (lock_->error() != QLockFile::LockFailedError) return Claim::First;
    bool connected = false;
    if (Send(paths, connected)) return Claim::HandedOver;
    if (connected) return Claim::NoAnswer;
    // The holder is starting and not yet listening, or closing and about
    // to give up the lock.
    QThread::msleep(kAttemptPauseMs);
  }
  return Claim::NoAnswer;
}

bool SingleInstance::Send(const std::vector<std::string>& paths, bool& connected) const {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(1000)) return false;
  socket.write(Encode(paths));
  while (socket.bytesToWrite() > 0)
    if (!socket.waitForBytesWritten(kAnswerTimeoutMs)) break;
  QByteArray answer;
  while (answer.size() < qsizetype(sizeof kAnswer - 1)) {
    if (!socket.waitForReadyRead(kAnswerTimeoutMs)) {
      // Closed unanswered: the window was going; a timeout: it hangs.
      connected = socket.state() == QLocalSocket::ConnectedState;
      return false;
    }
    answer += socket.readAll();
  }
  connected = true;
  return answer.startsWith(kAnswer);
}

void SingleInstance::Accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    auto read = [this, socket, message = QByteArray()]() mutable {
      message += socket->readAll();
      std::vector<std::string> paths;
      const Decoded decoded = Decode(message, paths);
      if (decoded == Decoded::Incomplete && message.size() <= kMaxMessage) return;
      if (decoded != Decoded::Complete) {
        socket->abort();
        return;
      }
      socket->write(kAnswer);
      socket->flush();
      socket->disconnectFromServer();
      if (receive_) receive_(std::move(paths));
    };
    connect(socket, &QLocalSocket::readyRead, this, std::move(read));
  }
}

}  // namespace tagmora
