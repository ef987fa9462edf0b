#pragma once

#include <string>

// Helpers shared by the tests of both builds.

// A new empty folder under the system's temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // The path of `name` inside the folder.
    std::string operator/(const std::string& name) const;

private:
    std::string m_path;
};

// Writes `bytes` to `path` exactly (binary), replacing the file.
void WriteBytes(const std::string& path, const std::string& bytes);
// The file's bytes exactly, or "<missing>" when it cannot be opened.
std::string ReadBytes(const std::string& path);
bool FileExists(const std::string& path);
void MakeFolder(const std::string& path);
void RemoveFile(const std::string& path);

// `name` in `folder` as a symbolic link to `target` (a name in the same folder), removed with the
// object. Under Wine the link is made on the Linux side; the program sees a link to a folder as a
// reparse point.
class SymbolicLink {
public:
    SymbolicLink(const std::string& folder, const std::string& target, const std::string& name);
    ~SymbolicLink();
    SymbolicLink(const SymbolicLink&) = delete;
    SymbolicLink& operator=(const SymbolicLink&) = delete;

    bool Made() const { return m_made; }

private:
    std::string m_folder;
    std::string m_name;
    bool m_made = false;
};

// Sets or (with a null value) removes an environment variable.
void SetEnvVar(const char* name, const char* value);

// Selects a code page for the lifetime of the object, and the previous one afterwards.
class CodePageScope {
public:
    explicit CodePageScope(int codePage);
    ~CodePageScope();

private:
    int m_previous;
};

// Keeps the process's current directory as it was when the object was made: an analysis leaves
// its folder current, and that folder may be gone when the next test runs.
class CurrentFolderScope {
public:
    CurrentFolderScope();
    ~CurrentFolderScope();
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

private:
    std::string m_path;
};
