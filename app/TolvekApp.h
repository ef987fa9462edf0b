#pragma once

#include "platform/WinApp.h"
#include "settings/EnvData.h"

// The application object: exactly one, for the whole life of the process. It owns the live
// settings and the single-instance mutex.
class CTolvekApp : public CWinApp {
public:
    CTolvekApp();
    ~CTolvekApp() override;

    bool InitInstance() override;

    void* m_hMutex = nullptr;  // the single-instance mutex's handle (Windows)
    CEnvData m_env;
};

// The running application object.
CTolvekApp& TheApp();
