// Runs the weather server on a free loopback port for the span of a test.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

class WeatherServerProcess {
public:
    // Starts the server with these extra arguments; Port() is 0 when it did not come up.
    explicit WeatherServerProcess(const std::vector<std::string>& arguments = {});
    ~WeatherServerProcess();
    WeatherServerProcess(const WeatherServerProcess&) = delete;
    WeatherServerProcess& operator=(const WeatherServerProcess&) = delete;

    int Port() const { return port_; }
    // GET of a control path ("/control/fault?spec=stall"); the reply body, empty on failure.
    std::string Control(const std::string& pathAndQuery) const;

private:
    pid_t pid_ = -1;
    int port_ = 0;
    std::string folder_;
};
