#include "app/TolvekApp.h"

// The one application object. Built in static initialisation, after the framework has chosen
// the code page.
static CTolvekApp theApp;

CTolvekApp::CTolvekApp() : CWinApp(nullptr) {}

CTolvekApp::~CTolvekApp() = default;

CTolvekApp& TheApp() { return *static_cast<CTolvekApp*>(AfxGetApp()); }
