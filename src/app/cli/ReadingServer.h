// The readings over HTTP, as velmora-cli serve and the window's 在手机上打开…
// offer them: a form at /, a reading's page at /reading, the same as JSON at
// /api/reading, the birthplaces at /api/places. The reading database is read
// into memory when the server is made, so serving holds no lock on its file.
#pragma once

#include <string>

#include "ReadingDatabase.h"
#include "WebServer.h"

namespace velmora::cli {

class ReadingServer {
public:
    // Reads the database `connectionString` names, then listens on `host`
    // and `port` (0: any free one). Throws EDatabaseError or
    // std::runtime_error with the reason when it cannot.
    ReadingServer(const std::string& connectionString, const std::string& host, unsigned short port);
    // The same from a connection that is open already (the window's own,
    // which holds its file for itself).
    ReadingServer(const TDatabaseConnection& source, const std::string& host, unsigned short port);
    ReadingServer(const ReadingServer&) = delete;
    ReadingServer& operator=(const ReadingServer&) = delete;

    web::WebServer& Server() { return server_; }

private:
    TDatabaseConnection connection_;
    TDatabaseQuery query_;
    web::WebServer server_;
};

}  // namespace velmora::cli
