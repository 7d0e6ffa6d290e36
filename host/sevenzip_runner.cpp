// The only file that sees 7-Zip's own headers. It does what the console's
// main program does for the extract and add commands, after the console's
// own command-line parser has read the argument list.
#include "StdAfx.h"

#include "Common/MyWindows.h"

#include "Common/MyInitGuid.h"

#include "Common/MyException.h"
#include "Common/StdOutStream.h"
#include "Windows/ErrorMsg.h"
#include "7zip/UI/Common/ArchiveCommandLine.h"
#include "7zip/UI/Common/EnumDirItems.h"
#include "7zip/UI/Common/ExitCode.h"
#include "7zip/UI/Common/Extract.h"
#include "7zip/UI/Common/LoadCodecs.h"
#include "7zip/UI/Console/ExtractCallbackConsole.h"
#include "7zip/UI/Console/OpenCallbackConsole.h"
#ifndef Z7_EXTRACT_ONLY
#include "7zip/UI/Common/HashCalc.h"
#include "7zip/UI/Common/Update.h"
#include "7zip/UI/Console/UpdateCallbackConsole.h"
#endif

#include "host/sevenzip_runner.h"

// Globals that the console's main program defines for the rest of its code.
HINSTANCE g_hInstance = NULL;
CStdOutStream* g_StdStream = NULL;
CStdOutStream* g_ErrStream = NULL;

namespace qs {

namespace {

void ThrowIfError(HRESULT result) {
  if (result != S_OK) throw CSystemException(result);
}

int Extract(CCodecs* codecs, const CObjectVector<COpenType>& types, const CIntVector& excludedFormats,
            CArcCmdLineOptions& options, CStdOutStream* percents) {
  UStringVector paths, fullPaths;
  CDirItemsStat stat;
  HRESULT result = EnumerateDirItemsAndSort(options.arcCensor, NWildcard::k_RelatPath, UString(), paths,
                                            fullPaths, stat, NULL);
  if (result != S_OK) return NExitCode::kFatalError;

  CExtractCallbackConsole* console = new CExtractCallbackConsole;
  CMyComPtr<IFolderArchiveExtractCallback> callback = console;
#ifndef Z7_NO_CRYPTO
  console->PasswordIsDefined = options.PasswordEnabled;
  console->Password = options.Password;
#endif
  console->Init(g_StdStream, g_ErrStream, percents, options.DisablePercents);
  console->MultiArcMode = paths.Size() > 1;
  console->LogLevel = options.LogLevel;

  CExtractOptions extract;
  static_cast<CExtractOptionsBase&>(extract) = options.ExtractOptions;
  extract.StdInMode = options.StdInMode;
  extract.StdOutMode = options.StdOutMode;
  extract.YesToAll = options.YesToAll;
  extract.TestMode = options.Command.IsTestCommand();
  extract.Properties = options.Properties;

  UString errorMessage;
  CDecompressStat decompressStat;
  result = ::Extract(codecs, types, excludedFormats, paths, fullPaths, options.Censor.Pairs.Front().Head,
                     extract, console, console, console, NULL, errorMessage, decompressStat);
  console->ClosePercents();
  if (result != S_OK || !errorMessage.IsEmpty()) return NExitCode::kFatalError;
  if (console->NumCantOpenArcs != 0 || console->NumArcsWithError != 0) return NExitCode::kFatalError;
  return console->NumFileErrors != 0 ? NExitCode::kFatalError : NExitCode::kSuccess;
}

#ifndef Z7_EXTRACT_ONLY
int Add(CCodecs* codecs, const CObjectVector<COpenType>& types, CArcCmdLineOptions& options,
        CStdOutStream* percents) {
  CUpdateOptions& update = options.UpdateOptions;
  COpenCallbackConsole openCallback;
  openCallback.Init(g_StdStream, g_ErrStream, percents, options.DisablePercents);
  CUpdateCallbackConsole callback;
  callback.LogLevel = options.LogLevel;
  callback.StdOutMode = update.StdOutMode;
  callback.Init(g_StdStream, g_ErrStream, percents, options.DisablePercents);
  CUpdateErrorInfo errorInfo;
  const HRESULT result = UpdateArchive(codecs, types, options.ArchiveName, options.Censor, update, errorInfo,
                                       &openCallback, &callback, true);
  callback.ClosePercents2();
  if (result != S_OK || errorInfo.ThereIsError()) return NExitCode::kFatalError;
  return callback.ScanErrors.Paths.Size() != 0 ? NExitCode::kWarning : NExitCode::kSuccess;
}
#endif

int Run(const std::vector<std::wstring>& arguments, bool report) {
  g_StdStream = report ? &g_StdOut : NULL;
  g_ErrStream = report ? &g_StdErr : NULL;

  UStringVector commandStrings;
  for (const std::wstring& argument : arguments) commandStrings.Add(UString(argument.c_str()));
  if (commandStrings.Size() == 0) return NExitCode::kUserError;

  CArcCmdLineOptions options;
  CArcCmdLineParser parser;
  parser.Parse1(commandStrings, options);
  CStdOutStream* percents = NULL;
  if (report) {
    if (options.Number_for_Out != k_OutStream_stdout)
      g_StdStream = options.Number_for_Out == k_OutStream_stderr ? &g_StdErr : NULL;
    if (options.Number_for_Errors != k_OutStream_stderr)
      g_ErrStream = options.Number_for_Errors == k_OutStream_stdout ? &g_StdOut : NULL;
    if (options.Number_for_Percents != k_OutStream_disabled)
      percents = options.Number_for_Percents == k_OutStream_stderr ? &g_StdErr : &g_StdOut;
  }
  parser.Parse2(options);

  CCodecs* codecs = new CCodecs;
  CMyComPtr<IUnknown> codecsReference = codecs;
  codecs->CaseSensitive_Change = options.CaseSensitive_Change;
  codecs->CaseSensitive = options.CaseSensitive;
  ThrowIfError(codecs->Load());
#ifndef Z7_EXTRACT_ONLY
  Codecs_AddHashArcHandler(codecs);
#endif

  CObjectVector<COpenType> types;
  if (!ParseOpenTypes(*codecs, options.ArcType, types)) return NExitCode::kUserError;
  CIntVector excludedFormats;
  for (unsigned k = 0; k < options.ExcludedArcTypes.Size(); k++) {
    CIntVector indices;
    if (!codecs->FindFormatForArchiveType(options.ExcludedArcTypes[k], indices) || indices.Size() != 1)
      return NExitCode::kUserError;
    excludedFormats.AddToUniqueSorted(indices[0]);
  }

  if (options.Command.IsFromExtractGroup()) return Extract(codecs, types, excludedFormats, options, percents);
#ifndef Z7_EXTRACT_ONLY
  if (options.Command.IsFromUpdateGroup()) return Add(codecs, types, options, percents);
#endif
  return NExitCode::kUserError;
}

}  // namespace

int RunSevenZip(const std::vector<std::wstring>& arguments, bool report) {
  try {
    return Run(arguments, report);
  } catch (const CNewException&) {
    return NExitCode::kMemoryError;
  } catch (const CMessagePathException&) {
    return NExitCode::kUserError;
  } catch (const CSystemException& error) {
    return error.ErrorCode == E_OUTOFMEMORY ? NExitCode::kMemoryError : NExitCode::kFatalError;
  } catch (NExitCode::EEnum code) {
    return code;
  } catch (...) {
    return NExitCode::kFatalError;
  }
}

}  // namespace qs
