# The part of 7-Zip that the host runs: the console's extract command over
# the formats and codecs a package may use (7z with LZMA, LZMA2, PPMd,
# BZip2, Deflate, the BCJ/BCJ2 and other branch filters, Delta and copy;
# xz, lzma, lzma86 and split volumes), decoders only, single-threaded, no
# encryption. scripts/build-7zip.sh copies this file into the source tree as
# CPP/7zip/Bundles/QSExtract/makefile.gcc and builds the target `objects`.

include ../../LzmaDec_gcc.mak

LOCAL_FLAGS = -DZ7_EXTRACT_ONLY -DZ7_NO_CRYPTO -DZ7_ST -DZ7_NO_LARGE_PAGES

SYS_OBJS = \
  $O/DLL.o \
  $O/DllSecur.o \
  $O/MemoryLock.o \
  $O/Registry.o \
  $O/SecurityUtils.o \

CONSOLE_OBJS = \
  $O/ConsoleClose.o \
  $O/ExtractCallbackConsole.o \
  $O/List.o \
  $O/OpenCallbackConsole.o \
  $O/PercentPrinter.o \
  $O/UserInputUtils.o \

UI_COMMON_OBJS = \
  $O/ArchiveCommandLine.o \
  $O/ArchiveExtractCallback.o \
  $O/ArchiveOpenCallback.o \
  $O/DefaultName.o \
  $O/EnumDirItems.o \
  $O/Extract.o \
  $O/ExtractingFilePath.o \
  $O/LoadCodecs.o \
  $O/OpenArchive.o \
  $O/PropIDUtils.o \
  $O/SetProperties.o \
  $O/SortUtils.o \
  $O/UpdateAction.o \

COMMON_OBJS = \
  $O/CommandLineParser.o \
  $O/CRC.o \
  $O/DynLimBuf.o \
  $O/IntToString.o \
  $O/ListFileUtils.o \
  $O/MyString.o \
  $O/MyVector.o \
  $O/NewHandler.o \
  $O/Sha256Prepare.o \
  $O/StdInStream.o \
  $O/StdOutStream.o \
  $O/StringConvert.o \
  $O/StringToInt.o \
  $O/UTFConvert.o \
  $O/Wildcard.o \
  $O/XzCrc64Init.o \

WIN_OBJS = \
  $O/ErrorMsg.o \
  $O/FileDir.o \
  $O/FileFind.o \
  $O/FileIO.o \
  $O/FileLink.o \
  $O/FileName.o \
  $O/PropVariant.o \
  $O/PropVariantConv.o \
  $O/PropVariantUtils.o \
  $O/System.o \
  $O/SystemInfo.o \
  $O/TimeUtils.o \

7ZIP_COMMON_OBJS = \
  $O/CreateCoder.o \
  $O/CWrappers.o \
  $O/FilePathAutoRename.o \
  $O/FileStreams.o \
  $O/FilterCoder.o \
  $O/InBuffer.o \
  $O/LimitedStreams.o \
  $O/MethodId.o \
  $O/MethodProps.o \
  $O/MultiOutStream.o \
  $O/OutBuffer.o \
  $O/ProgressUtils.o \
  $O/PropId.o \
  $O/StreamObjects.o \
  $O/StreamUtils.o \
  $O/UniqBlocks.o \

AR_OBJS = \
  $O/LzmaHandler.o \
  $O/SplitHandler.o \
  $O/XzHandler.o \

AR_COMMON_OBJS = \
  $O/CoderMixer2.o \
  $O/DummyOutStream.o \
  $O/HandlerOut.o \
  $O/InStreamWithCRC.o \
  $O/ItemNameUtils.o \
  $O/MultiStream.o \
  $O/OutStreamWithCRC.o \
  $O/ParseProperties.o \

7Z_OBJS = \
  $O/7zDecode.o \
  $O/7zExtract.o \
  $O/7zHandler.o \
  $O/7zHeader.o \
  $O/7zIn.o \
  $O/7zProperties.o \
  $O/7zRegister.o \

COMPRESS_OBJS = \
  $O/Bcj2Coder.o \
  $O/Bcj2Register.o \
  $O/BcjCoder.o \
  $O/BcjRegister.o \
  $O/BitlDecoder.o \
  $O/BranchMisc.o \
  $O/BranchRegister.o \
  $O/BZip2Crc.o \
  $O/BZip2Decoder.o \
  $O/BZip2Register.o \
  $O/CopyCoder.o \
  $O/CopyRegister.o \
  $O/Deflate64Register.o \
  $O/DeflateDecoder.o \
  $O/DeflateRegister.o \
  $O/DeltaFilter.o \
  $O/Lzma2Decoder.o \
  $O/Lzma2Register.o \
  $O/LzmaDecoder.o \
  $O/LzmaRegister.o \
  $O/LzOutWindow.o \
  $O/PpmdDecoder.o \
  $O/PpmdRegister.o \
  $O/XzDecoder.o \

C_OBJS = \
  $O/7zCrc.o \
  $O/7zCrcOpt.o \
  $O/7zStream.o \
  $O/Alloc.o \
  $O/Bcj2.o \
  $O/Bra.o \
  $O/Bra86.o \
  $O/BraIA64.o \
  $O/CpuArch.o \
  $O/Delta.o \
  $O/Lzma2Dec.o \
  $O/Lzma2DecMt.o \
  $O/LzmaDec.o \
  $O/MtDec.o \
  $O/Ppmd7.o \
  $O/Ppmd7Dec.o \
  $O/Sha256.o \
  $O/Sha256Opt.o \
  $O/Threads.o \
  $O/Xz.o \
  $O/XzCrc64.o \
  $O/XzCrc64Opt.o \
  $O/XzDec.o \
  $O/XzIn.o \

OBJS = \
  $(LZMA_DEC_OPT_OBJS) \
  $(C_OBJS) \
  $(SYS_OBJS) \
  $(COMMON_OBJS) \
  $(WIN_OBJS) \
  $(COMPRESS_OBJS) \
  $(7ZIP_COMMON_OBJS) \
  $(AR_OBJS) \
  $(AR_COMMON_OBJS) \
  $(7Z_OBJS) \
  $(UI_COMMON_OBJS) \
  $(CONSOLE_OBJS) \

include ../../7zip_gcc.mak

objects: $(O) $(OBJS)
