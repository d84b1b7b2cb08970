<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
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
</context>
<context>
    <name>MessageBoxes</name>
    <message>
        <source>Quorlen软件</source>
        <translation>Quorlen Software</translation>
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
        <source>音乐简介</source>
        <translation>Intro</translation>
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
