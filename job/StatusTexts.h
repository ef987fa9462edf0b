#pragma once

// The status texts that a job's front end shows, in the program's code page.
constexpr char STATUS_ANALYZING[] = "解析中...";  // before each target file, with its name
constexpr char STATUS_FINISHED[] = "解析終了 !!";  // at the end of every job, with ""
constexpr char STATUS_ERROR[] = "エラー !!";       // a drop of other than one item, with:
constexpr char STATUS_DROP_ONE[] = "フォルダを（１つだけ）ドラックして下さい";
