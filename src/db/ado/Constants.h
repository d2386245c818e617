#pragma once
// The ADO enumeration values the program and its callers use, with ADO's numbers.
#include <cstdint>

namespace orvitex::ado {

// CursorLocationEnum
inline constexpr std::int32_t adUseServer = 2;
inline constexpr std::int32_t adUseClient = 3;
// CursorTypeEnum
inline constexpr std::int32_t adOpenUnspecified = -1;
inline constexpr std::int32_t adOpenForwardOnly = 0;
inline constexpr std::int32_t adOpenKeyset = 1;
inline constexpr std::int32_t adOpenDynamic = 2;
inline constexpr std::int32_t adOpenStatic = 3;
// LockTypeEnum
inline constexpr std::int32_t adLockUnspecified = -1;
inline constexpr std::int32_t adLockReadOnly = 1;
inline constexpr std::int32_t adLockPessimistic = 2;
inline constexpr std::int32_t adLockOptimistic = 3;
inline constexpr std::int32_t adLockBatchOptimistic = 4;
// CommandTypeEnum and ExecuteOptionEnum
inline constexpr std::int32_t adCmdUnspecified = -1;
inline constexpr std::int32_t adCmdText = 1;
inline constexpr std::int32_t adCmdTable = 2;
inline constexpr std::int32_t adCmdStoredProc = 4;
inline constexpr std::int32_t adCmdUnknown = 8;
inline constexpr std::int32_t adExecuteNoRecords = 128;
inline constexpr std::int32_t adConnectUnspecified = -1;
inline constexpr std::int32_t adOptionUnspecified = -1;
// GetRowsOptionEnum
inline constexpr std::int32_t adGetRowsRest = -1;
// ObjectStateEnum (bit flags)
inline constexpr std::int32_t adStateClosed = 0;
inline constexpr std::int32_t adStateOpen = 1;
inline constexpr std::int32_t adStateConnecting = 2;
inline constexpr std::int32_t adStateExecuting = 4;
inline constexpr std::int32_t adStateFetching = 8;
// EventStatusEnum
inline constexpr std::int32_t adStatusOK = 1;
inline constexpr std::int32_t adStatusErrorsOccurred = 2;
inline constexpr std::int32_t adStatusCantDeny = 3;
// ParameterDirectionEnum
inline constexpr std::int32_t adParamUnknown = 0;
inline constexpr std::int32_t adParamInput = 1;
inline constexpr std::int32_t adParamOutput = 2;
inline constexpr std::int32_t adParamInputOutput = 3;
inline constexpr std::int32_t adParamReturnValue = 4;
// DataTypeEnum
inline constexpr std::int32_t adEmpty = 0;
inline constexpr std::int32_t adSmallInt = 2;
inline constexpr std::int32_t adInteger = 3;
inline constexpr std::int32_t adSingle = 4;
inline constexpr std::int32_t adDouble = 5;
inline constexpr std::int32_t adCurrency = 6;
inline constexpr std::int32_t adDate = 7;
inline constexpr std::int32_t adBSTR = 8;
inline constexpr std::int32_t adBoolean = 11;
inline constexpr std::int32_t adVariant = 12;
inline constexpr std::int32_t adIUnknown = 13;
inline constexpr std::int32_t adDecimal = 14;
inline constexpr std::int32_t adTinyInt = 16;
inline constexpr std::int32_t adBigInt = 20;
inline constexpr std::int32_t adGUID = 72;
inline constexpr std::int32_t adBinary = 128;
inline constexpr std::int32_t adChar = 129;
inline constexpr std::int32_t adWChar = 130;
inline constexpr std::int32_t adNumeric = 131;
inline constexpr std::int32_t adDBDate = 133;
inline constexpr std::int32_t adDBTime = 134;
inline constexpr std::int32_t adDBTimeStamp = 135;
inline constexpr std::int32_t adVarChar = 200;
inline constexpr std::int32_t adLongVarChar = 201;
inline constexpr std::int32_t adVarWChar = 202;
inline constexpr std::int32_t adLongVarWChar = 203;
inline constexpr std::int32_t adVarBinary = 204;
inline constexpr std::int32_t adLongVarBinary = 205;

}  // namespace orvitex::ado
