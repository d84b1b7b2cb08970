<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>BatchWiring</name>
    <message>
        <source>以下 %1 首音乐已下载过，要再次下载吗？</source>
        <translation>Downloaded before: %1. Download again?</translation>
    </message>
</context>
<context>
    <name>Cli</name>
    <message>
        <source>打开主窗口</source>
        <translation>open the main window</translation>
    </message>
    <message>
        <source>运行一条命令</source>
        <translation>run one command</translation>
    </message>
    <message>
        <source>分析地址，保存音乐文件（存入下载文件夹或 DIR），打印保存的路径；使用 --demo 时 ADDRESS 可以只写示例编号，如 1001</source>
        <translation>analyse it, save the sound file (into the download folder or DIR) and print the saved path; with --demo a bare sample id such as 1001 will do as the ADDRESS</translation>
    </message>
    <message>
        <source>这么久收不到数据就放弃（默认 30）</source>
        <translation>give up when no data arrives for this long (default 30)</translation>
    </message>
    <message>
        <source>音乐页面和首页所在的网站主机</source>
        <translation>web host of the sound pages and the home page</translation>
    </message>
    <message>
        <source>音乐信息接口所在的主机</source>
        <translation>host of the sound-info endpoint</translation>
    </message>
    <message>
        <source>版本文件所在的主机</source>
        <translation>host of the version file</translation>
    </message>
    <message>
        <source>启动内置的示例服务，所有主机都用它</source>
        <translation>start the built-in sample service and use it for every host</translation>
    </message>
    <message>
        <source>文字的语言：zh_CN、zh_TW 或 en（默认取自系统的语言）</source>
        <translation>language of the texts: zh_CN, zh_TW or en (default: from the system&apos;s languages)</translation>
    </message>
    <message>
        <source>（窗口）启动后分析此地址；使用 --demo 时可以只写示例编号，如 1001</source>
        <translation>(window) analyse this address after start-up; with --demo a bare sample id such as 1001 will do</translation>
    </message>
    <message>
        <source>（窗口）启动并完成 --address 的分析后，把窗口存为图片，然后退出</source>
        <translation>(window) save the window as a picture after start-up and any --address analysis, then end</translation>
    </message>
    <message>
        <source>显示此帮助</source>
        <translation>show this help</translation>
    </message>
    <message>
        <source>显示版本</source>
        <translation>show the version</translation>
    </message>
    <message>
        <source>用法：</source>
        <translation>Usage:</translation>
    </message>
    <message>
        <source>命令：</source>
        <translation>Commands:</translation>
    </message>
    <message>
        <source>选项：</source>
        <translation>Options:</translation>
    </message>
    <message>
        <source>用法有误</source>
        <translation>wrong usage</translation>
    </message>
    <message>
        <source>用法见 “vexa-helper --help”</source>
        <translation>try &apos;vexa-helper --help&apos;</translation>
    </message>
    <message>
        <source>示例服务未能启动</source>
        <translation>the sample service did not start</translation>
    </message>
    <message>
        <source>未知选项 “%1”</source>
        <translation>unknown option &quot;%1&quot;</translation>
    </message>
    <message>
        <source>缺少命令</source>
        <translation>missing command</translation>
    </message>
    <message>
        <source>未知命令 “%1”</source>
        <translation>unknown command &quot;%1&quot;</translation>
    </message>
    <message>
        <source>--timeout 的值 “%1” 有误</source>
        <translation>bad --timeout value &quot;%1&quot;</translation>
    </message>
    <message>
        <source>须为大于 0、至多 24 小时的秒数</source>
        <translation>wants a number of seconds above 0, at most a day</translation>
    </message>
    <message>
        <source>--name 模板 “%1” 有误</source>
        <translation>bad --name template &quot;%1&quot;</translation>
    </message>
    <message>
        <source>使用示例服务：%1</source>
        <translation>using the sample service: %1</translation>
    </message>
    <message>
        <source>%1 需要一个音乐页面地址</source>
        <translation>%1 needs a sound page address</translation>
    </message>
    <message>
        <source>%1 只接受一个地址；地址含空格时请加引号</source>
        <translation>%1 takes one address; quote it if it holds spaces</translation>
    </message>
    <message>
        <source>地址未被接受</source>
        <translation>address rejected</translation>
    </message>
    <message>
        <source>无法获取 %1</source>
        <translation>could not fetch %1</translation>
    </message>
    <message>
        <source>%1 的回答中没有音乐信息</source>
        <translation>no sound record in the answer from %1</translation>
    </message>
    <message>
        <source>config 最多接受 KEY 和 VALUE 两个参数</source>
        <translation>config takes at most KEY and VALUE</translation>
    </message>
    <message>
        <source>未知设置 “%1”</source>
        <translation>unknown setting &quot;%1&quot;</translation>
    </message>
    <message>
        <source>可用的设置有 %1</source>
        <translation>the settings are %1</translation>
    </message>
    <message>
        <source>设置 %1 的值 “%2” 有误</source>
        <translation>bad value &quot;%2&quot; for %1</translation>
    </message>
    <message>
        <source>设置 %1 未能保存</source>
        <translation>config %1 not saved</translation>
    </message>
    <message>
        <source>连接中断，正在重试（第 %1 次，共 %2 次）</source>
        <translation>the connection broke off; retrying, try %1 of %2</translation>
    </message>
    <message>
        <source>从 %1 处继续先前未完成的下载</source>
        <translation>continuing an earlier partial download at %1</translation>
    </message>
    <message>
        <source>无法下载 %1</source>
        <translation>could not download %1</translation>
    </message>
    <message>
        <source>已保留 %1，再次运行同一命令即可继续下载</source>
        <translation>kept %1; the same command continues it</translation>
    </message>
    <message>
        <source>已保存，但未写入标签</source>
        <translation>saved without tags</translation>
    </message>
    <message>
        <source>hot 不接受参数</source>
        <translation>hot takes no arguments</translation>
    </message>
    <message>
        <source>无法读取热门列表</source>
        <translation>could not read the hot list</translation>
    </message>
    <message>
        <source>%1 的页面中没有热门条目</source>
        <translation>no hot-list entry in the page from %1</translation>
    </message>
    <message>
        <source>无法保存截图</source>
        <translation>could not save the screenshot</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>%1 已复制到剪贴板：双击地址框，再按“分析”</source>
        <translation>%1 is on the clipboard: double-click the address box, then press Analyse</translation>
    </message>
    <message>
        <source>打开主窗口并分析此地址；已有打开的窗口时，交给那个窗口</source>
        <translation>open the main window and analyse this address; with a window open already, hand it to that window</translation>
    </message>
    <message>
        <source>（窗口）总是打开新的窗口，不把地址交给已打开的窗口</source>
        <translation>(window) always open a new window instead of handing the address to the open one</translation>
    </message>
    <message>
        <source>--download 后面要写音乐页面地址</source>
        <translation>--download needs sound page addresses after it</translation>
    </message>
    <message>
        <source>已下载过 “%1”，跳过；文件在 %2（重新下载请加 --force）</source>
        <translation>already downloaded &quot;%1&quot;, skipped; the file is %2 (--force downloads it again)</translation>
    </message>
    <message>
        <source>%1 个下载失败（共 %2 个）：</source>
        <translation>%1 of %2 downloads failed:</translation>
    </message>
    <message>
        <source>依次下载多个地址（“-”：从标准输入每行读一个地址；--hot：首页的十五首热门音乐，再加上写出的地址），每保存一个打印一行路径；历史中已下载且文件仍在的音乐跳过（算作成功），除非加 --force；有失败时最后列出失败的地址和原因</source>
        <translation>download several addresses in turn (&quot;-&quot;: one address a line from standard input; --hot: the fifteen hot sounds of the home page, then any addresses given), printing one saved path each; a sound the history has as downloaded, its file still there, is skipped (a success) unless --force is given; failures are listed with their reasons at the end</translation>
    </message>
    <message>
        <source>（窗口）启动后把这些地址的音乐加入下载列表；已有打开的窗口时，交给那个窗口</source>
        <translation>(window) after starting, add the sounds at these addresses to the download list; with a window open already, hand them to that window</translation>
    </message>
    <message>
        <source>--jobs 的值 “%1” 有误</source>
        <translation>bad --jobs value &quot;%1&quot;</translation>
    </message>
    <message>
        <source>须为 1 到 %1 的整数</source>
        <translation>wants a whole number from 1 to %1</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>歌手</source>
        <translation>Singer</translation>
    </message>
    <message>
        <source>文件或原因</source>
        <translation>File or reason</translation>
    </message>
    <message>
        <source>时间</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>history 不接受参数</source>
        <translation>history takes no arguments</translation>
    </message>
    <message>
        <source>无法使用（%1），此窗口不接收之后启动时交来的地址</source>
        <translation>cannot be used (%1); this window will not take addresses from later starts</translation>
    </message>
    <message>
        <source>它是符号链接，此窗口不接收之后启动时交来的地址</source>
        <translation>it is a symbolic link; this window will not take addresses from later starts</translation>
    </message>
    <message>
        <source>它不是文件夹，此窗口不接收之后启动时交来的地址</source>
        <translation>it is not a folder; this window will not take addresses from later starts</translation>
    </message>
    <message>
        <source>它属于其他用户，此窗口不接收之后启动时交来的地址</source>
        <translation>it belongs to another user; this window will not take addresses from later starts</translation>
    </message>
    <message>
        <source>其他用户也能进入（权限应为 0700），此窗口不接收之后启动时交来的地址</source>
        <translation>other users can enter it (its mode should be 0700); this window will not take addresses from later starts</translation>
    </message>
    <message>
        <source>不使用文件夹 %1</source>
        <translation>Not using the folder %1</translation>
    </message>
    <message>
        <source>已打开的窗口没有回应，另开一个不接收地址的窗口</source>
        <translation>The open window does not answer; opening another window that takes no addresses</translation>
    </message>
    <message>
        <source>%1 是其他用户的，没有交给它任何地址；另开一个不接收地址的窗口</source>
        <translation>%1 belongs to another user and was handed nothing; opening another window that takes no addresses</translation>
    </message>
    <message>
        <source>无法在 %1 接收之后启动时交来的地址</source>
        <translation>Cannot take addresses from later starts at %1</translation>
    </message>
    <message>
        <source>“%1” 正由另一个下载保存到 %2，跳过</source>
        <translation>“%1” is being saved to %2 by another download; skipped</translation>
    </message>
    <message>
        <source>也显示 Qt 和所用程序库的警告（如图片解码的警告）</source>
        <translation>also show the warnings of Qt and the libraries it uses (such as picture decoding warnings)</translation>
    </message>
    <message>
        <source>“%1” 从 %2 处继续先前未完成的下载</source>
        <translation>&quot;%1&quot; continues an earlier unfinished download from %2</translation>
    </message>
    <message>
        <source>%1（用法见 “vexa-helper --help”）</source>
        <translation>%1 (see &quot;vexa-helper --help&quot;)</translation>
    </message>
    <message>
        <source>只写示例编号（如 1001）时须加 --demo，否则请写音乐页面地址</source>
        <translation>a bare sample number (such as 1001) needs --demo; otherwise give a sound page address</translation>
    </message>
    <message>
        <source>剩余 %1</source>
        <translation>%1 left</translation>
    </message>
    <message>
        <source>显示这条命令的用法、选项和退出状态</source>
        <translation>show this command&apos;s usage, options and exit statuses</translation>
    </message>
    <message>
        <source>分析音乐页面地址，打印音乐信息（--json：一个对象）；使用 --demo 时 ADDRESS 可以只写示例编号，如 1001</source>
        <translation>analyse a sound page address and print the sound&apos;s record (--json: one object); with --demo, ADDRESS may be just a sample number, such as 1001</translation>
    </message>
    <message>
        <source>列出下载历史（窗口与命令行共用），最新的在前：状态、大小、名称、歌手、保存的路径或失败原因、时间（--json：一个数组，每项一个对象）</source>
        <translation>list the download history (shared by the window and the command line), newest first: state, size, name, singer, saved path or the reason it failed, time (--json: an array, one object per entry)</translation>
    </message>
    <message>
        <source>以 key=value 行打印下载设置，或打印一项，或设置一项；键：%1</source>
        <translation>print the download settings as key=value lines, print one, or set one; keys: %1</translation>
    </message>
    <message>
        <source>默认的 --name 模板</source>
        <translation>the default --name template</translation>
    </message>
    <message>
        <source>true/false</source>
        <translation>true/false</translation>
    </message>
    <message>
        <source>3/4</source>
        <translation>3/4</translation>
    </message>
    <message>
        <source>窗口是否提议剪贴板中的地址，true/false</source>
        <translation>whether the window offers addresses found on the clipboard, true/false</translation>
    </message>
    <message>
        <source>同时下载几个，1 到 10</source>
        <translation>how many downloads at once, 1 to 10</translation>
    </message>
    <message>
        <source>成功</source>
        <translation>success</translation>
    </message>
    <message>
        <source>未收到回答</source>
        <translation>the answer did not arrive</translation>
    </message>
    <message>
        <source>回答中没有音乐信息（hot：页面中没有条目）</source>
        <translation>the answer holds no sound record (hot: the page holds no entry)</translation>
    </message>
    <message>
        <source>下载失败；下载多个时，有一个失败</source>
        <translation>the download failed; of several, one failed</translation>
    </message>
    <message>
        <source>被 Ctrl-C 中断（终止请求：143），已保留可继续的部分文件</source>
        <translation>interrupted by Ctrl-C (a termination request: 143); part files that can be continued are kept</translation>
    </message>
    <message>
        <source>其他失败</source>
        <translation>any other failure</translation>
    </message>
    <message>
        <source>%1（%2）</source>
        <translation>%1 (%2)</translation>
    </message>
    <message>
        <source>、</source>
        <translation>, </translation>
    </message>
    <message>
        <source>（%1）%2</source>
        <translation>(%1) %2</translation>
    </message>
    <message>
        <source>退出状态：</source>
        <translation>Exit statuses:</translation>
    </message>
    <message>
        <source>打印为 JSON：info 打印一个对象，hot 和 history 打印一个数组，每项一个对象；计数和创建时间是数字</source>
        <translation>print as JSON: info prints one object, hot and history print an array with one object per entry; counts and the creation time are numbers</translation>
    </message>
    <message>
        <source>同 --json，但每个值都是字符串：旧的格式，供按字符串读取的脚本使用</source>
        <translation>as --json, but every value is a string: the former shape, for scripts that read strings</translation>
    </message>
    <message>
        <source>存入 DIR，不存在时创建，不用设置中的文件夹</source>
        <translation>save into DIR, created when missing, instead of the folder setting</translation>
    </message>
    <message>
        <source>按 TEMPLATE 命名保存的文件（默认为 name 设置，最初是 “{singer} - {name}”）：字段有 {singer} {name} {id} {date} {ext} {shortname} {shortsinger}；“/” 分出子文件夹；未写 {ext} 时自动加上扩展名</source>
        <translation>name the saved file by TEMPLATE (default: the name setting, at first &quot;{singer} - {name}&quot;): fields {singer} {name} {id} {date} {ext} {shortname} {shortsinger}; &quot;/&quot; makes subfolders; the extension follows unless placed</translation>
    </message>
    <message>
        <source>保存时不写标签和封面</source>
        <translation>save without tags and cover</translation>
    </message>
    <message>
        <source>同时下载 N 个（1 到 10，默认为 jobs 设置，最初是 3）</source>
        <translation>N downloads at once (1 to 10; default the jobs setting, at first 3)</translation>
    </message>
    <message>
        <source>历史中已下载过的音乐也重新下载</source>
        <translation>download again what the history has as downloaded</translation>
    </message>
    <message>
        <source>下载首页的十五首热门音乐</source>
        <translation>download the fifteen hot sounds of the home page</translation>
    </message>
    <message>
        <source>只打印保存的路径和错误：没有进度、提示和说明</source>
        <translation>print only the saved paths and errors: no progress, hints or notes</translation>
    </message>
    <message>
        <source>平均 %1</source>
        <translation>%1 on average</translation>
    </message>
    <message>
        <source>列出首页的十五首热门音乐（--json：一个数组，每首一个对象，文字与截取的完全一致），并标出与上次刷新相比的升降；每次刷新都记入历史</source>
        <translation>list the fifteen hot sounds of the home page (--json: an array, one object per sound, the texts exactly as cut out), marked with how each moved since the last refresh; every refresh is recorded in the history</translation>
    </message>
    <message>
        <source>列出记录下的热门列表刷新，最新的在前：时间和每个名次的音乐（--json：一个数组，每次刷新一个对象）</source>
        <translation>list the recorded hot-list refreshes, newest first: the time and the sound at each rank (--json: an array, one object per refresh)</translation>
    </message>
    <message>
        <source>列出记录下的热门列表（最近 100 次刷新），最新的在前</source>
        <translation>list the recorded hot lists (the last 100 refreshes), newest first</translation>
    </message>
</context>
<context>
    <name>DesktopNotifications</name>
    <message>
        <source>音乐下载完成</source>
        <translation>Download finished</translation>
    </message>
    <message>
        <source>音乐下载失败</source>
        <translation>Download failed</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>无法发送桌面通知</source>
        <translation>cannot send desktop notifications</translation>
    </message>
</context>
<context>
    <name>DownloadBatch</name>
    <message>
        <source>无法记入下载历史</source>
        <translation>could not be recorded in the download history</translation>
    </message>
</context>
<context>
    <name>DownloadHistory</name>
    <message>
        <source>下载历史已损坏，已移到 %1 并新建</source>
        <translation>The download history was damaged; moved it to %1 and started a new one</translation>
    </message>
    <message>
        <source>下载历史 %1 来自更新版本的程序，本次下载不会记入历史</source>
        <translation>The download history %1 is from a newer version; downloads this time will not be recorded</translation>
    </message>
    <message>
        <source>下载历史 %1 正被另一个程序占用，等它放开后再记入</source>
        <translation>The download history %1 is in use by another program; waiting for it before recording</translation>
    </message>
    <message>
        <source>下载历史 %1 一直被另一个程序占用，有记录未能写入</source>
        <translation>The download history %1 stayed in use by another program; some entries were not written</translation>
    </message>
    <message>
        <source>是一个文件夹</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>不是普通文件</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>cannot be read</translation>
    </message>
    <message>
        <source>不是本程序的锁文件</source>
        <translation>not this program&apos;s lock file</translation>
    </message>
    <message>
        <source>所在的文件夹 %1 不可写</source>
        <translation>its folder %1 is not writable</translation>
    </message>
    <message>
        <source>文件是只读的</source>
        <translation>the file is read-only</translation>
    </message>
    <message>
        <source>%1 是只读的</source>
        <translation>%1 is read-only</translation>
    </message>
    <message>
        <source>无法使用下载历史 %1（%2），本次下载不会记入历史</source>
        <translation>Cannot use the download history %1 (%2); this run&apos;s downloads will not be recorded</translation>
    </message>
    <message>
        <source>无法创建它所在的文件夹</source>
        <translation>its folder cannot be created</translation>
    </message>
    <message>
        <source>无法写入下载历史 %1（%2），本次下载不会记入历史</source>
        <translation>Cannot write the download history %1 (%2); this run&apos;s downloads will not be recorded</translation>
    </message>
    <message>
        <source>无法创建</source>
        <translation>cannot be created</translation>
    </message>
    <message>
        <source>一直被另一个程序占用</source>
        <translation>held by another program all along</translation>
    </message>
    <message>
        <source>正被另一个程序占用</source>
        <translation>in use by another program</translation>
    </message>
    <message>
        <source>无法打开</source>
        <translation>cannot be opened</translation>
    </message>
    <message>
        <source>下载历史的锁文件 %1 不可用（%2），已不加锁打开下载历史</source>
        <translation>The download history&apos;s lock file %1 is unusable (%2); the history was opened without it</translation>
    </message>
    <message>
        <source>%1；%2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>下载历史 %1 一直被另一个程序占用，有记录未能写入：</source>
        <translation>The download history %1 stayed in use by another program; entries could not be written:</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>removal</translation>
    </message>
    <message>
        <source>无法写入下载历史 %1（%2），有记录未能保存</source>
        <translation>Cannot write the download history %1 (%2); entries were not saved</translation>
    </message>
    <message>
        <source>下载历史 %1 已放开，等待的记录已写入</source>
        <translation>The download history %1 is free again; the waiting entries are written</translation>
    </message>
    <message>
        <source>热门列表（%1）</source>
        <translation>hot list (%1)</translation>
    </message>
</context>
<context>
    <name>DownloadResult</name>
    <message>
        <source>音乐地址无效</source>
        <translation>Invalid music address</translation>
    </message>
    <message>
        <source>无法写入下载文件夹</source>
        <translation>Cannot write to the download folder</translation>
    </message>
    <message>
        <source>服务器返回错误 %1</source>
        <translation>Server returned error %1</translation>
    </message>
    <message>
        <source>下载地址重定向无效</source>
        <translation>Invalid redirect of the download address</translation>
    </message>
    <message>
        <source>服务器返回空文件</source>
        <translation>Server returned an empty file</translation>
    </message>
    <message>
        <source>网络连接中断</source>
        <translation>Network connection lost</translation>
    </message>
    <message>
        <source>网络超时</source>
        <translation>Network timed out</translation>
    </message>
    <message>
        <source>磁盘空间不足</source>
        <translation>Not enough disk space</translation>
    </message>
    <message>
        <source>写入文件失败</source>
        <translation>Could not write the file</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
    <message>
        <source>%1 秒内没有回应</source>
        <translation>no answer for %1 s</translation>
    </message>
    <message>
        <source>收到 %1 字节，共 %2 字节</source>
        <translation>received %1 of %2 bytes</translation>
    </message>
    <message>
        <source>服务器发来的是空文件</source>
        <translation>the server sent an empty file</translation>
    </message>
    <message>
        <source>不是音频文件</source>
        <translation>Not an audio file</translation>
    </message>
    <message>
        <source>服务器回应无效</source>
        <translation>Invalid server response</translation>
    </message>
    <message>
        <source>文件过大</source>
        <translation>File too large</translation>
    </message>
    <message>
        <source>已暂停</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>另一个程序已接手这个下载</source>
        <translation>Another program has taken over this download</translation>
    </message>
</context>
<context>
    <name>DownloadSettings</name>
    <message>
        <source>文件夹为空</source>
        <translation>empty folder</translation>
    </message>
    <message>
        <source>不是 true 或 false</source>
        <translation>not true or false</translation>
    </message>
    <message>
        <source>ID3 版本只能是 3 或 4</source>
        <translation>the ID3 version is 3 or 4</translation>
    </message>
    <message>
        <source>未知设置</source>
        <translation>unknown setting</translation>
    </message>
    <message>
        <source>无法写入 %1</source>
        <translation>cannot write %1</translation>
    </message>
    <message>
        <source>同时下载数只能是 1 到 %1</source>
        <translation>Simultaneous downloads must be 1 to %1</translation>
    </message>
    <message>
        <source>须为绝对路径（以 / 或 ~/ 开头）</source>
        <translation>must be an absolute path (starting with / or ~/)</translation>
    </message>
    <message>
        <source>%1 中 %2=%3 有误（%4），改用 %5</source>
        <translation>%2=%3 in %1 is not valid (%4); using %5 instead</translation>
    </message>
</context>
<context>
    <name>DownloadState</name>
    <message>
        <source>等待中</source>
        <translation>Waiting</translation>
    </message>
    <message>
        <source>下载中</source>
        <translation>Downloading</translation>
    </message>
    <message>
        <source>已暂停</source>
        <translation>Paused</translation>
    </message>
    <message>
        <source>已完成</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>失败</source>
        <translation>Failed</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>Cancelled</translation>
    </message>
</context>
<context>
    <name>DownloadStatus</name>
    <message>
        <source>正在下载音乐..</source>
        <translation>Downloading music...</translation>
    </message>
    <message>
        <source>连接中断，正在重试（第%1次，共%2次）..</source>
        <translation>Connection lost, retrying (%1 of %2)...</translation>
    </message>
    <message>
        <source>音乐下载完成: </source>
        <translation>Download finished: </translation>
    </message>
    <message>
        <source>音乐下载失败: </source>
        <translation>Download failed: </translation>
    </message>
    <message>
        <source>（未写入标签）</source>
        <translation> (no tags written)</translation>
    </message>
    <message>
        <source>《%1》已下载过：
%2
要再次下载吗？</source>
        <translation>&quot;%1&quot; was downloaded before:
%2
Download it again?</translation>
    </message>
    <message>
        <source>音乐下载已暂停</source>
        <translation>Music download paused</translation>
    </message>
    <message>
        <source>音乐下载已取消</source>
        <translation>Music download cancelled</translation>
    </message>
    <message>
        <source>无法记入下载历史，未能下载</source>
        <translation>Could not record it in the download history; not downloaded</translation>
    </message>
</context>
<context>
    <name>DownloadsModel</name>
    <message>
        <source>失败：%1</source>
        <translation>Failed: %1</translation>
    </message>
    <message>
        <source>名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>歌手</source>
        <translation>Singer</translation>
    </message>
    <message>
        <source>大小</source>
        <translation>Size</translation>
    </message>
    <message>
        <source>进度</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>状态</source>
        <translation>State</translation>
    </message>
    <message>
        <source>文件名</source>
        <translation>File name</translation>
    </message>
</context>
<context>
    <name>DownloadsWindow</name>
    <message>
        <source>下载列表</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>暂停所选的下载，保留已下载的部分</source>
        <translation>Pause the selected downloads and keep what has arrived</translation>
    </message>
    <message>
        <source>继续</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>从暂停处继续所选的下载</source>
        <translation>Continue the selected downloads where they paused</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>取消所选的下载，删除未完成的部分</source>
        <translation>Cancel the selected downloads and delete their unfinished parts</translation>
    </message>
    <message>
        <source>重试</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>重新开始所选的失败或已取消的下载</source>
        <translation>Start the selected failed or cancelled downloads again</translation>
    </message>
    <message>
        <source>打开</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>打开所选的已下载文件</source>
        <translation>Open the selected downloaded files</translation>
    </message>
    <message>
        <source>打开文件夹</source>
        <translation>Open folder</translation>
    </message>
    <message>
        <source>打开所选下载所在的文件夹</source>
        <translation>Open the folders of the selected downloads</translation>
    </message>
    <message>
        <source>移除</source>
        <translation>Remove</translation>
    </message>
    <message>
        <source>从列表中移除所选的下载</source>
        <translation>Remove the selected downloads from the list</translation>
    </message>
    <message>
        <source>全部继续</source>
        <translation>Continue all</translation>
    </message>
    <message>
        <source>继续所有已暂停的下载</source>
        <translation>Continue every paused download</translation>
    </message>
    <message>
        <source>从列表中移除所选的 %1 项下载。
同时删除下载的文件吗？</source>
        <translation>Remove %1 selected downloads from the list.
Delete the downloaded files too?</translation>
    </message>
    <message>
        <source>没有能打开它的程序，请手动打开：%1</source>
        <translation>No program can open it; please open it by hand: %1</translation>
    </message>
    <message>
        <source>此下载无法续传，暂停后将从头开始。仍要暂停吗？</source>
        <translation>This download cannot be resumed: after pausing it starts again from the beginning. Pause it anyway?</translation>
    </message>
</context>
<context>
    <name>HotChart</name>
    <message>
        <source>新</source>
        <translation>new</translation>
    </message>
</context>
<context>
    <name>HotListWindow</name>
    <message>
        <source>音乐列表为空</source>
        <translation>The music list is empty</translation>
    </message>
    <message>
        <source>网络连接失败，请稍后再试..</source>
        <translation>Network connection failed. Please try again later.</translation>
    </message>
    <message>
        <source>未能获取热榜信息，请稍后再试..</source>
        <translation>Could not get the hot list. Please try again later.</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>音乐名称</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>频道</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>分享</source>
        <translation>Shares</translation>
    </message>
    <message>
        <source>喜欢</source>
        <translation>Likes</translation>
    </message>
    <message>
        <source>评论</source>
        <translation>Comments</translation>
    </message>
    <message>
        <source>链接</source>
        <translation>Link</translation>
    </message>
    <message>
        <source>Vexa热榜</source>
        <translation>Vexa Hot List</translation>
    </message>
    <message>
        <source>获取热门音乐</source>
        <translation>Get hot music</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>从官方网站获取最新的热门音乐列表</source>
        <translation>Fetches the latest hot sounds from the official website</translation>
    </message>
    <message>
        <source>热门音乐列表</source>
        <translation>Hot sounds</translation>
    </message>
    <message>
        <source>双击或按回车键分析选中的音乐</source>
        <translation>Double-click or press Enter to analyse the selected sound</translation>
    </message>
    <message>
        <source>全部下载</source>
        <translation>Download all</translation>
    </message>
    <message>
        <source>下载热榜上的全部音乐</source>
        <translation>Downloads every sound on the hot list</translation>
    </message>
    <message>
        <source>下载所选</source>
        <translation>Download selected</translation>
    </message>
    <message>
        <source>下载热榜上选中的音乐</source>
        <translation>Downloads the selected sounds</translation>
    </message>
    <message>
        <source>上次不在榜上</source>
        <translation>Not on the list last time</translation>
    </message>
    <message>
        <source>上次第 %1 名（%2）</source>
        <translation>Number %1 last time (%2)</translation>
    </message>
    <message numerus="yes">
        <source>上升 %n 位</source>
        <translation>
            <numerusform>up %n place</numerusform>
            <numerusform>up %n places</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>下降 %n 位</source>
        <translation>
            <numerusform>down %n place</numerusform>
            <numerusform>down %n places</numerusform>
        </translation>
    </message>
    <message>
        <source>新上榜</source>
        <translation>new on the list</translation>
    </message>
    <message>
        <source>排名不变</source>
        <translation>rank unchanged</translation>
    </message>
    <message>
        <source>播放全部</source>
        <translation>Play all</translation>
    </message>
    <message>
        <source>从第一首起依次播放热榜上的音乐</source>
        <translation>Plays the hot list&apos;s sounds in order from the first</translation>
    </message>
    <message>
        <source>从这里播放</source>
        <translation>Play from here</translation>
    </message>
</context>
<context>
    <name>HttpTextFetch</name>
    <message>
        <source>%1 字节</source>
        <translation>%1 bytes</translation>
    </message>
    <message>
        <source>程序正在退出</source>
        <translation>the application is quitting</translation>
    </message>
    <message>
        <source>已取消</source>
        <translation>cancelled</translation>
    </message>
    <message>
        <source>没有运行请求的应用程序对象</source>
        <translation>no application object to run the request</translation>
    </message>
    <message>
        <source>不是有效的地址：%1</source>
        <translation>not a valid address: %1</translation>
    </message>
    <message>
        <source>%1 秒内未收到数据</source>
        <translation>no data received for %1 s</translation>
    </message>
    <message>
        <source>回应大于 %1</source>
        <translation>the response is larger than %1</translation>
    </message>
</context>
<context>
    <name>IntroductionBox</name>
    <message>
        <source>音乐简介</source>
        <translation>Intro</translation>
    </message>
    <message>
        <source>音乐的文字介绍</source>
        <translation>The sound&apos;s introduction</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>正在检测是否存在最新版本..</source>
        <translation>Checking for a new version...</translation>
    </message>
    <message>
        <source>欢迎使用Quorlen软件</source>
        <translation>Welcome to Quorlen software</translation>
    </message>
    <message>
        <source>检测更新失败!请您稍后再试,暂时使用原版</source>
        <translation>Update check failed! Please try again later; this version stays in use for now.</translation>
    </message>
    <message>
        <source>双击粘贴音乐地址</source>
        <translation>Double-click to paste a music address</translation>
    </message>
    <message>
        <source>请输入音乐地址..</source>
        <translation>Please enter a music address.</translation>
    </message>
    <message>
        <source>地址有误，请检查..</source>
        <translation>The address is wrong. Please check it.</translation>
    </message>
    <message>
        <source>正在分析音乐信息..</source>
        <translation>Analysing the music...</translation>
    </message>
    <message>
        <source>音乐分析完毕..</source>
        <translation>Analysis finished.</translation>
    </message>
    <message>
        <source>网络连接失败，请稍后再试..</source>
        <translation>Network connection failed. Please try again later.</translation>
    </message>
    <message>
        <source>未能获取音乐信息，请检查地址..</source>
        <translation>Could not get the music information. Please check the address.</translation>
    </message>
    <message>
        <source>设置无法保存，本次运行中仍然有效</source>
        <translation>Settings could not be saved; they apply until you quit.</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Vexa辅助</source>
        <translation>Vexa Helper</translation>
    </message>
    <message>
        <source>分析</source>
        <translation>Analyse</translation>
    </message>
    <message>
        <source>Vexa热门推荐</source>
        <translation>Vexa Hot Picks</translation>
    </message>
    <message>
        <source>官方网站</source>
        <translation>Website</translation>
    </message>
    <message>
        <source>最小化</source>
        <translation>Minimise</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>使用提示：</source>
        <translation>Tip:</translation>
    </message>
    <message>
        <source>版本</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Quorlen出品</source>
        <translation>By Quorlen</translation>
    </message>
    <message>
        <source>音乐地址</source>
        <translation>Sound address</translation>
    </message>
    <message>
        <source>音乐页面的地址，按回车键分析</source>
        <translation>A sound page&apos;s address; Enter analyses it</translation>
    </message>
    <message>
        <source>分析音乐信息</source>
        <translation>Analyse the sound</translation>
    </message>
    <message>
        <source>获取地址中音乐的信息、封面和声音</source>
        <translation>Fetches the sound&apos;s details, cover and audio</translation>
    </message>
    <message>
        <source>下载设置</source>
        <translation>Download settings</translation>
    </message>
    <message>
        <source>打开热门推荐音乐列表</source>
        <translation>Open the list of recommended sounds</translation>
    </message>
    <message>
        <source>在浏览器中打开官方网站</source>
        <translation>Open the official website in the browser</translation>
    </message>
    <message>
        <source>上一步操作的结果</source>
        <translation>How the last action went</translation>
    </message>
    <message>
        <source>程序版本</source>
        <translation>Program version</translation>
    </message>
    <message>
        <source>已填入复制的音乐地址..</source>
        <translation>Copied sound address filled in.</translation>
    </message>
    <message>
        <source>下载列表</source>
        <translation>Downloads</translation>
    </message>
    <message>
        <source>打开下载列表</source>
        <translation>Open the download list</translation>
    </message>
    <message>
        <source>重新检测</source>
        <translation>Retry</translation>
    </message>
    <message>
        <source>再次检测是否存在最新版本，通过后即可分析音乐</source>
        <translation>Check for a new version again; once it passes, sounds can be analysed</translation>
    </message>
    <message>
        <source>没有能打开网页的程序，请在浏览器中打开：%1</source>
        <translation>No program can open web pages; please open this in a browser: %1</translation>
    </message>
    <message>
        <source>无法播放第 %1 首，已跳过</source>
        <translation>Could not play number %1; skipped</translation>
    </message>
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Quorlen软件</source>
        <translation>Quorlen Software</translation>
    </message>
</context>
<context>
    <name>NameTemplate</name>
    <message>
        <source>模板是空的</source>
        <translation>it is empty</translation>
    </message>
    <message>
        <source>“{” 没有对应的 “}”</source>
        <translation>a &quot;{&quot; has no &quot;}&quot;</translation>
    </message>
    <message>
        <source>未知字段 {%1}</source>
        <translation>unknown field {%1}</translation>
    </message>
    <message>
        <source>去掉不可用的字符后不剩文件名</source>
        <translation>it leaves no file name once made safe</translation>
    </message>
</context>
<context>
    <name>PlayerBar</name>
    <message>
        <source>无法播放此音乐</source>
        <translation>Cannot play this music</translation>
    </message>
    <message>
        <source>没有可用的音频设备</source>
        <translation>No audio device</translation>
    </message>
    <message>
        <source>播放/暂停</source>
        <translation>Play/Pause</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>播放或暂停当前的音乐</source>
        <translation>Plays or pauses the current sound</translation>
    </message>
    <message>
        <source>播放进度</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>拖动或用方向键跳到音乐的其他位置</source>
        <translation>Drag it, or use the arrow keys, to move through the sound</translation>
    </message>
    <message>
        <source>已播放时间 / 总时长</source>
        <translation>Time played / length</translation>
    </message>
    <message>
        <source>调节播放的音量</source>
        <translation>Sets the playback volume</translation>
    </message>
    <message>
        <source>播放器的提示</source>
        <translation>Player message</translation>
    </message>
    <message>
        <source>上一首</source>
        <translation>Previous</translation>
    </message>
    <message>
        <source>下一首</source>
        <translation>Next</translation>
    </message>
    <message>
        <source>第 %1 首，共 %2 首</source>
        <translation>%1 of %2</translation>
    </message>
</context>
<context>
    <name>SampleServiceProcess</name>
    <message>
        <source>%1 在 %2 秒内没有告知端口</source>
        <translation>%1 told no port within %2 s</translation>
    </message>
    <message>
        <source>%1 未能运行：%2</source>
        <translation>%1 did not start: %2</translation>
    </message>
    <message>
        <source>%1 已退出，状态码 %2</source>
        <translation>%1 ended with status %2</translation>
    </message>
    <message>
        <source>%1 崩溃了</source>
        <translation>%1 crashed</translation>
    </message>
    <message>
        <source>在 %2 找不到 %1</source>
        <translation>no %1 at %2</translation>
    </message>
    <message>
        <source> 或 </source>
        <translation> or </translation>
    </message>
    <message>
        <source>%1 输出了 “%2”，而不是它的端口</source>
        <translation>%1 said &quot;%2&quot; instead of its port</translation>
    </message>
    <message>
        <source>%1 告知端口的格式未知</source>
        <translation>%1 told its port in an unknown form</translation>
    </message>
    <message>
        <source>http://%1，音乐页面 %2 至 %3</source>
        <translation>http://%1, sound pages %2 to %3</translation>
    </message>
</context>
<context>
    <name>ServiceConfig</name>
    <message>
        <source>--%1：“%2” 不是主机名（可带端口）</source>
        <translation>--%1: &quot;%2&quot; is not a host name with an optional port</translation>
    </message>
</context>
<context>
    <name>SettingsDialog</name>
    <message>
        <source>请填写下载文件夹</source>
        <translation>Please enter a download folder</translation>
    </message>
    <message>
        <source>模板有误：%1</source>
        <translation>Template error: %1</translation>
    </message>
    <message>
        <source>可用字段：{singer} {name} {id} {date} {ext} {shortname} {shortsinger}；“/”分隔子文件夹</source>
        <translation>Fields: {singer} {name} {id} {date} {ext} {shortname} {shortsinger}; &quot;/&quot; separates subfolders</translation>
    </message>
    <message>
        <source>示例音乐</source>
        <translation>Sample music</translation>
    </message>
    <message>
        <source>示例歌手</source>
        <translation>Sample singer</translation>
    </message>
    <message>
        <source>设置</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>选择…</source>
        <translation>Choose…</translation>
    </message>
    <message>
        <source>写入标签和封面</source>
        <translation>Write tags and cover</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>下载文件夹</source>
        <translation>Download folder</translation>
    </message>
    <message>
        <source>文件名模板</source>
        <translation>File name template</translation>
    </message>
    <message>
        <source>ID3 版本</source>
        <translation>ID3 version</translation>
    </message>
    <message>
        <source>预览</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>下载的音乐文件保存在这个文件夹</source>
        <translation>Downloaded sound files are saved in this folder</translation>
    </message>
    <message>
        <source>选择下载文件夹</source>
        <translation>Choose the download folder</translation>
    </message>
    <message>
        <source>在下载的文件中写入音乐信息和封面</source>
        <translation>Writes the sound&apos;s details and cover into the downloaded file</translation>
    </message>
    <message>
        <source>写入的 ID3 标签版本</source>
        <translation>The ID3 tag version to write</translation>
    </message>
    <message>
        <source>按这些设置下载时文件的路径</source>
        <translation>Where a download goes with these settings</translation>
    </message>
    <message>
        <source>保存设置并关闭</source>
        <translation>Save the settings and close</translation>
    </message>
    <message>
        <source>不保存设置，关闭窗口</source>
        <translation>Close without saving the settings</translation>
    </message>
    <message>
        <source>自动填入复制的音乐地址</source>
        <translation>Fill in copied sound addresses</translation>
    </message>
    <message>
        <source>在其他程序中复制的音乐页面地址会填入地址框，但不会自动分析</source>
        <translation>A sound page address copied in another program goes into the address box; it is not analysed by itself</translation>
    </message>
    <message>
        <source>同时下载数</source>
        <translation>Downloads at once</translation>
    </message>
    <message>
        <source>同时进行的下载数，其余的排队等候</source>
        <translation>How many downloads run at once; the rest wait their turn</translation>
    </message>
</context>
<context>
    <name>SoundAnalysis</name>
    <message>
        <source>%1（HTTP 状态码 %2）</source>
        <translation>%1 (HTTP status %2)</translation>
    </message>
    <message>
        <source>未能获取音乐信息，请检查地址..</source>
        <translation>Could not get the music information. Please check the address.</translation>
    </message>
    <message>
        <source>网络连接失败，请稍后再试..</source>
        <translation>Network connection failed. Please try again later.</translation>
    </message>
</context>
<context>
    <name>SoundDownload</name>
    <message>
        <source>不是 http 或 https 地址：%1</source>
        <translation>not an http or https address: %1</translation>
    </message>
    <message>
        <source>无法创建文件夹 %1</source>
        <translation>cannot create the folder %1</translation>
    </message>
    <message>
        <source>无法在 %1 中写入：%2</source>
        <translation>cannot write in %1: %2</translation>
    </message>
    <message>
        <source>在 %2 中找不到可用于 %1 的文件名</source>
        <translation>no free file name for %1 in %2</translation>
    </message>
    <message>
        <source>服务器重定向到了不跟随的地址：%1</source>
        <translation>the server redirected it to an address not followed: %1</translation>
    </message>
    <message>
        <source>服务器回应 %1</source>
        <translation>the server answered %1</translation>
    </message>
    <message>
        <source>请求整个文件，服务器却回应 206</source>
        <translation>the server answered 206 to a whole-file request</translation>
    </message>
    <message>
        <source>找不到可用于 %1 的文件名</source>
        <translation>no free file name for %1</translation>
    </message>
    <message>
        <source>无法重命名 %1：%2</source>
        <translation>cannot rename %1: %2</translation>
    </message>
    <message>
        <source>无法写入 %1：%2</source>
        <translation>cannot write %1: %2</translation>
    </message>
    <message>
        <source>服务器发来的是网页，不是音频文件</source>
        <translation>the server sent a web page, not an audio file</translation>
    </message>
    <message>
        <source>服务器给出了互相矛盾的文件长度</source>
        <translation>the server gave contradictory file lengths</translation>
    </message>
    <message>
        <source>%1 秒内只收到 %2 字节</source>
        <translation>only %2 bytes received in %1 s</translation>
    </message>
    <message>
        <source>服务器没有给出文件大小，而文件已超过 %1</source>
        <translation>the server gave no file size, and the file is already over %1</translation>
    </message>
</context>
<context>
    <name>SoundExtraction</name>
    <message>
        <source>创建时间 “%1” 不是秒数</source>
        <translation>the creation time &quot;%1&quot; is not a number of seconds</translation>
    </message>
    <message>
        <source>未能获取音乐信息，请检查地址..</source>
        <translation>Could not get the music information. Please check the address.</translation>
    </message>
</context>
<context>
    <name>SoundLink</name>
    <message>
        <source>请输入音乐地址..</source>
        <translation>Please enter a music address.</translation>
    </message>
    <message>
        <source>地址有误，请检查..</source>
        <translation>The address is wrong. Please check it.</translation>
    </message>
</context>
<context>
    <name>SoundPanel</name>
    <message>
        <source>请先获取音乐..</source>
        <translation>Please analyse a music address first.</translation>
    </message>
    <message>
        <source>音乐地址复制成功..</source>
        <translation>Music address copied.</translation>
    </message>
    <message>
        <source>音乐：%1</source>
        <translation>Title: %1</translation>
    </message>
    <message>
        <source>歌手：%1</source>
        <translation>Singer: %1</translation>
    </message>
    <message>
        <source>播放：%1</source>
        <translation>Plays: %1</translation>
    </message>
    <message>
        <source>粉丝：%1</source>
        <translation>Fans: %1</translation>
    </message>
    <message>
        <source>分享：%1</source>
        <translation>Shares: %1</translation>
    </message>
    <message>
        <source>时间：%1</source>
        <translation>Date: %1</translation>
    </message>
    <message>
        <source>复制地址</source>
        <translation>Copy Link</translation>
    </message>
    <message>
        <source>下载音乐</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>播放：%1 次</source>
        <translation>Plays: %1</translation>
    </message>
    <message>
        <source>分享：%1 次</source>
        <translation>Shares: %1</translation>
    </message>
    <message>
        <source>粉丝：%1 人</source>
        <translation>Fans: %1</translation>
    </message>
    <message>
        <source>复制音乐地址</source>
        <translation>Copy the sound&apos;s address</translation>
    </message>
    <message>
        <source>把音乐文件的地址复制到剪贴板</source>
        <translation>Copies the sound file&apos;s address to the clipboard</translation>
    </message>
    <message>
        <source>下载音乐文件</source>
        <translation>Download the sound file</translation>
    </message>
    <message>
        <source>把音乐文件保存到下载文件夹</source>
        <translation>Saves the sound file in the download folder</translation>
    </message>
    <message>
        <source>封面</source>
        <translation>Cover</translation>
    </message>
    <message>
        <source>音乐的封面图片</source>
        <translation>The sound&apos;s cover picture</translation>
    </message>
    <message>
        <source>音乐名称</source>
        <translation>Sound name</translation>
    </message>
    <message>
        <source>歌手</source>
        <translation>Singer</translation>
    </message>
    <message>
        <source>播放次数</source>
        <translation>Plays</translation>
    </message>
    <message>
        <source>粉丝人数</source>
        <translation>Fans</translation>
    </message>
    <message>
        <source>分享次数</source>
        <translation>Shares</translation>
    </message>
    <message>
        <source>发布时间</source>
        <translation>Published</translation>
    </message>
    <message>
        <source>音乐全名：%1</source>
        <translation>Full name: %1</translation>
    </message>
    <message>
        <source>歌手全名：%1</source>
        <translation>Full singer name: %1</translation>
    </message>
</context>
<context>
    <name>SoundStream</name>
    <message>
        <source>不是 http 或 https 地址</source>
        <translation>not an http or https address</translation>
    </message>
    <message>
        <source>服务器重定向到了不跟随的地址</source>
        <translation>the server redirected it to an address not followed</translation>
    </message>
    <message>
        <source>服务器回应 %1</source>
        <translation>the server answered %1</translation>
    </message>
    <message>
        <source>服务器回应的范围不是所请求的</source>
        <translation>the server answered with a range that was not asked for</translation>
    </message>
    <message>
        <source>连接在结束前关闭</source>
        <translation>the connection closed before the end</translation>
    </message>
</context>
<context>
    <name>SoundTags</name>
    <message>
        <source>不支持给 .%1 文件写标签</source>
        <translation>no tags for .%1 files</translation>
    </message>
    <message>
        <source>文件内容与扩展名不符</source>
        <translation>the file is not what its name says</translation>
    </message>
    <message>
        <source>磁盘空间不足，无法写入标签</source>
        <translation>not enough disk space for tags</translation>
    </message>
    <message>
        <source>无法写入标签</source>
        <translation>the tags could not be written</translation>
    </message>
</context>
<context>
    <name>UiLanguage</name>
    <message>
        <source>--lang: 不支持的语言“%1”，可用的有：%2</source>
        <translation>--lang: unsupported language &quot;%1&quot;; available: %2</translation>
    </message>
</context>
<context>
    <name>UpdateCheck</name>
    <message>
        <source>发现最新版本![%1]<byte value="xd"/>
 <byte value="xd"/>
确定后自动打开官方论坛!</source>
        <translation>New version found! [%1]<byte value="xd"/>
 <byte value="xd"/>
Press OK to open the official forum.</translation>
    </message>
</context>
</TS>
