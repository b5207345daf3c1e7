#pragma once

#include "instance/ImportChannel.h"

#include <QString>

#include <optional>

namespace dw::cli {

using dw::instance::ImportOutcome;

// --sync: one sync of the data folder's appointments with its account, done
// here under the lock or handed to the running copy, which syncs its own grid.
// A password given here is used when no secret store holds one.
ImportOutcome SyncFolder(const QString& dataFolder, const std::optional<QString>& password,
                         int answerTimeoutMs = 300000);

// --sync-account: tries the address and password, then stores the account in
// the program's settings file and the password in the desktop's secret store
// (never in a file). `certificate`: the SHA-256 (hex) of a certificate to trust.
ImportOutcome StoreAccount(const QString& dataFolder, const QString& url, const QString& user,
                           const QString& password, const QByteArray& certificate = {});

// --trust-certificate: the account trusts the certificate of this fingerprint.
ImportOutcome TrustCertificate(const QString& dataFolder, const QString& fingerprint);

// The password from standard input (its first line) or, without
// --password-stdin, from the terminal without echo; nullopt without either.
std::optional<QString> ReadPassword(bool fromStdin, const QString& prompt);

} // namespace dw::cli
