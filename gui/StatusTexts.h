#pragma once

// The status texts that a job's front end shows, in the program's code page.
constexpr char STATUS_ANALYZING[] = "解析中...";  // before each target file, with its name
constexpr char STATUS_FINISHED[] = "解析終了 !!";  // at the end of every job, with ""
constexpr char STATUS_ERROR[] = "エラー !!";       // a drop of other than one item, with:
constexpr char STATUS_DROP_ONE[] = "フォルダを（１つだけ）ドラックして下さい";

// The second line of the closing status when something failed (empty when nothing did).
constexpr char STATUS_NO_TARGETS[] = "解析対象の拡張子がありません";  // the target list is empty
constexpr char STATUS_LOG_FAILED[] = "ログを書き込めません";          // the log cannot be written
constexpr char STATUS_UNREADABLE_FORMAT[] = "%lld 件のファイルを読めません";  // with the count

// The second line of the closing status when nothing failed but the system started fewer scanning
// threads than the job asked for, with the numbers asked for and started.
constexpr char STATUS_FEWER_THREADS_FORMAT[] = "%d 個中 %d 個のスレッドで解析しました";
