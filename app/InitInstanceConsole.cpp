// The life of the Linux command: one job for the path on its command line.
#include "app/TolvekApp.h"
#include "console/ConsoleFrontEnd.h"

bool CTolvekApp::InitInstance()
{
    m_nExitCode = RunConsole(m_argc, m_argv, m_env);
    return false;
}
