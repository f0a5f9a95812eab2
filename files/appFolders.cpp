#include "files/appFolders.h"

#include "files/fileFuncs.h"
#include "platform/fileSystem.h"
#include "platform/process.h"

namespace {

struct AppFolders {
    CString applicationPath;
    CString exeDir;
};

const AppFolders& folders()
{
    static const AppFolders cached = [] {
        AppFolders f;
        wchar_t path[MAX_PATH + 1] = {};
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        f.applicationPath = path;
        const int last = f.applicationPath.ReverseFind(L'\\');
        f.exeDir = last < 0 ? CString() : f.applicationPath.Left(last);
        return f;
    }();
    return cached;
}

void createMissingFolder(const CString& path)
{
    if (!FileFuncs::IsDirExist(path))
        CreateDirectoryW(path, nullptr);
}

} // namespace

CString GetApplicationPath() { return folders().applicationPath; }
CString GetExeDir() { return folders().exeDir; }
CString GetRootDir() { return folders().exeDir; }
CString GetDocsDir() { return folders().exeDir; }

CString GetTempDir()
{
    const CString temp(L"\\temp");
    createMissingFolder(temp);
    return temp;
}

CString UserSettingsPathFor(const CString& root)
{
    CString path;
    const int first = root.Find(L'\\');
    const int second = first < 0 ? -1 : root.Find(L'\\', first + 1);
    if (second >= 0)
        path = root.Left(second + 1);
    else
        path = root + L"\\";
    return path + L"osd_setup";
}

CString MakeUserSettingsFolder(const CString& root)
{
    const CString path = UserSettingsPathFor(root);
    CreateDirectoryW(path, nullptr);
    SetFileAttributesW(path, FILE_ATTRIBUTE_HIDDEN);
    return path;
}

CString MakeTempProgramFolder()
{
    const CString path = GetTempDir() + L"\\" + AppStrPaths::GetProgramName();
    createMissingFolder(path);
    SetFileAttributesW(path, FILE_ATTRIBUTE_HIDDEN);
    return path;
}

namespace AppStrPaths {

CString GetJobExt() { return L".osd"; }
CString GetJobExtensionName() { return L"osd"; }
CString GetInitialJobVersionName() { return L"jobversion."; }
CString GetInitialJobName() { return L"initial.ti0"; }
CString GetStylesDBName() { return L"Styles.oss"; }
CString GetProgramName() { return L"Ostrand"; }
CString GetPelmarHelpName() { return L"Pelmar.htm"; }
CString GetVestraHelpName() { return L"Vestra.htm"; }
CString GetMainHelpName() { return L"ostrand.htm"; }
CString GetGpsHelpName() { return L"osdGps.htm"; }
CString GetTsHelpName() { return L"osdTs.htm"; }
CString GetCogoHelpName() { return L"osdCogo.htm"; }

CString GetLngFilePath() { return GetExeDir() + L"\\Lng"; }
CString GetLogFilePath() { return GetRootDir(); }
CString GetStylesDBPath() { return GetRootDir(); }
CString GetInitialJobPath() { return GetRootDir(); }
CString GetInitialJobVersionPath() { return GetRootDir(); }
CString GetJobDBPath() { return GetDocsDir() + L"\\Jobs"; }
CString GetDefaultJobDBPath() { return GetDocsDir() + L"\\Jobs" + L"\\Default" + L".osd"; }

CString GetUserSettingsPath()
{
    static const CString cached = MakeUserSettingsFolder(GetRootDir());
    return cached;
}

CString GetSessionSettingsPath() { return GetRootDir() + L"\\FileSettings"; }
CString GetIESettingsPath() { return GetRootDir() + L"\\FileSettings"; }
CString GetIEFilePath() { return GetDocsDir() + L"\\IEFiles"; }
CString GetCodeLibraryPath() { return GetRootDir() + L"\\IEFiles"; }
CString GetAntennaFilePath() { return GetExeDir() + L"\\antennas"; }
CString GetUserDefinedAntennaFilePath() { return GetRootDir() + L"\\antennas\\userdefined"; }
CString GetPreDefinedAntennaFilePath() { return GetExeDir() + L"\\antennas\\predefined"; }
CString GetSoundFilePath() { return GetExeDir() + L"\\sounds"; }
CString GetCustomDevicesPath() { return GetExeDir() + L"\\CustomDevices"; }
CString GetGeoidsListPath() { return GetExeDir() + L"\\Geoids"; }
CString GetLastGeoidsPath() { return GetUserSettingsPath() + L"\\lastgeoids"; }
CString GetLastBackgroundImagesPath() { return GetUserSettingsPath() + L"\\lastBkgndImages"; }

CString GetTempKestalPath()
{
    static const CString cached = MakeTempProgramFolder();
    return cached;
}

CString GetRowDataPath() { return GetRootDir() + L"\\RawData"; }
CString GetTN3Ext() { return L".tn3"; }
CString GetTN3ExtensionName() { return L"tn3"; }
CString GetTN3FilePath() { return GetDocsDir() + L"\\DTM"; }
CString GetPixoraFilePathForExport() { return GetIEFilePath() + L"\\Pixora"; }
CString GetImageDataPath() { return GetRootDir() + L"\\Images"; }
CString GetImageExt() { return L".jpg"; }
CString GetCameraDataPath() { return GetDocsDir() + L"\\Camera"; }
CString GetCameraExt() { return L".cmr"; }
CString GetScanFileExt() { return L".dbs"; }
CString GetIMCFileExt() { return L".imc"; }

namespace AppStrXForm {
CString GetTsGeoFolder() { return GetExeDir() + L"\\Geo\\"; }
CString GetTsUserGeoFolder() { return GetRootDir() + L"\\Geo\\"; }
CString GetTsAplFileName() { return GetRootDir() + L"\\Geo\\" + L"_apl2_.ini"; }
} // namespace AppStrXForm

} // namespace AppStrPaths
