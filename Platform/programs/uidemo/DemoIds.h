// Resource and command numbers of the demo program.
#pragma once

constexpr unsigned kDemoBar = 100;
constexpr unsigned kCommandDetails = 201;
constexpr unsigned kCommandMenu = 3000;
constexpr unsigned kCommandHello = 301;
constexpr unsigned kCommandQuit = 302;
constexpr unsigned kStringDetails = 40001;
constexpr unsigned kStringMenu = 40002;
constexpr int kEditId = 10;
