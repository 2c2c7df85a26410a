<?xml version="1.0" encoding="UTF-8"?>
<!--
  Layout of the HTML report: the report document made into one HTML 4.01 page.
  The %REP_...% placeholders are replaced with the report texts of the user's language
  before the sheet is parsed. Parameters: "lang" (HTML language code, may be empty) and
  "product" (the product name, so the footer can show the company part of header/program).
-->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" version="4.01" encoding="UTF-8" indent="yes"
              doctype-public="-//W3C//DTD HTML 4.01 Transitional//EN"
              doctype-system="http://www.w3.org/TR/html4/loose.dtd"/>
  <xsl:param name="lang" select="''"/>
  <xsl:param name="product" select="''"/>

  <xsl:template match="/report">
    <xsl:variable name="program" select="string(header/program)"/>
    <xsl:variable name="suffix" select="concat(' ', $product)"/>
    <xsl:variable name="company">
      <xsl:choose>
        <xsl:when test="$product != '' and string-length($program) &gt; string-length($suffix)
                        and substring($program, string-length($program) - string-length($suffix) + 1) = $suffix">
          <xsl:value-of select="substring($program, 1, string-length($program) - string-length($suffix))"/>
        </xsl:when>
        <xsl:otherwise><xsl:value-of select="$program"/></xsl:otherwise>
      </xsl:choose>
    </xsl:variable>
    <html>
      <xsl:if test="$lang != ''">
        <xsl:attribute name="lang"><xsl:value-of select="$lang"/></xsl:attribute>
      </xsl:if>
      <head>
        <title><xsl:value-of select="$program"/> Report</title>
        <style type="text/css">
          body { font-family: Tahoma, Verdana, sans-serif; font-size: 10pt; color: #202020; background: #ffffff; }
          h1 { font-size: 16pt; margin-bottom: 4pt; }
          h2 { font-size: 11pt; font-weight: normal; }
          table { border-collapse: collapse; margin-bottom: 12pt; }
          th { background: #e6e6e6; text-align: left; padding: 2pt 6pt; }
          th.title { background: #4a6d9a; color: #ffffff; }
          td { padding: 2pt 6pt; border-bottom: 1px solid #e6e6e6; vertical-align: top; }
        </style>
      </head>
      <body>
        <h1><xsl:value-of select="$program"/></h1>
        <p>%REP_GENERATED% <xsl:value-of select="header/generated"/></p>
        <h2>%REP_USER% "<xsl:value-of select="header/user"/>"</h2>
        <table width="100%">
          <xsl:attribute name="summary">%REP_SYSINFO_HEADER%</xsl:attribute>
          <tr><th colspan="2" class="title">%REP_SYSINFO_HEADER%</th></tr>
          <tr><td width="45%">%REP_SYSINFO_WINVER%</td><td><xsl:value-of select="header/winversion"/></td></tr>
          <tr><td width="45%">%REP_SYSINFO_SYSNAME%</td><td><xsl:value-of select="header/systemname"/></td></tr>
          <tr><td width="45%">%REP_SYSINFO_PROCNAME%</td><td><xsl:value-of select="header/processorname"/></td></tr>
          <tr><td width="45%">%REP_SYSINFO_MEMORY%</td><td><xsl:value-of select="header/installedmemory"/></td></tr>
        </table>
        <xsl:for-each select="sections/section">
          <table width="100%" summary="{title}">
            <tr><th colspan="3" class="title"><xsl:value-of select="title"/></th></tr>
            <tr><th width="45%">%REP_NAME%</th><th width="42%">%REP_VALUE%</th><th>%REP_ADD%</th></tr>
            <xsl:for-each select="items/item">
              <tr>
                <td><xsl:value-of select="name"/></td>
                <td><xsl:value-of select="param"/></td>
                <td><xsl:value-of select="advanced"/></td>
              </tr>
            </xsl:for-each>
          </table>
        </xsl:for-each>
        <hr/>
        <p><xsl:value-of select="$company"/><xsl:text> </xsl:text><a href="{header/site}">%REP_VISITSITE%</a></p>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
