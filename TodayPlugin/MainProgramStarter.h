// How both start-screen plug-ins start the program: "%INSTALL_DIR%\Skyvane.exe" on a city, or for a
// silent forecast update. A failure does nothing.
#pragma once

class MainProgramStarter {
public:
    // "cmd_normal_mode:<city index>".
    static void StartMainProgram(int cityIndex);
    // "cmd_silent_update".
    static void StartSilentUpdate();

private:
    static void Start(const char16_t* commandLine);
};
